// The band panels: both channels' 65 band sliders on a canvas that scrolls
// sideways under the viewport, with their captions and readouts. A slider
// moved by the user (mouse, keys, a screen reader) sets its band in the
// session; the sliders show the session's settings.
#pragma once

#include "dsp/EqualizerSettings.h"

#include <QFrame>
#include <QVector>

class Session;
class QLabel;
class QScrollBar;
class QSlider;

class BandPanel : public QFrame
{
    Q_OBJECT

public:
    BandPanel(Session &session, QWidget *window);

    // Makes bands 1 to 64 as copies of band 0, places and names them; the
    // rows stay hidden until ShowRows.
    void Build();
    void HideRows();
    void ShowRows();
    bool RowsShown() const;

    // The viewport reaches to the options panel, whose left edge this is.
    void Arrange(double optionsLeft);
    // A channel's row in the window's twips, for the caption beside it.
    QRectF RowTwips(int channel) const;
    // The band sliders, left row first, in Tab order.
    QList<QWidget *> TabOrder() const;

    // Sets only what differs from what the panel last showed: a slider
    // placed by code without its scroll handling keeps its place until the
    // next move or import applies it.
    void Show(const EqualizerSettings &settings);
    // Dims the captions of the bands that cannot act.
    void ShowActingBands(int sampleRate, int bandwidth);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ConnectBandSlider(QSlider *slider, int channel, int band);
    void ShowBands(int channel, const EqualizerSettings &settings);
    void NameControls();
    const QVector<QSlider *> *RowOf(const QObject *slider) const;
    void BandFocused(QSlider *slider);
    bool BandKey(QSlider *slider, int key, Qt::KeyboardModifiers modifiers);

    Session &mSession;
    EqualizerSettings mShown;
    double mOptionsLeft = 0;

    QScrollBar *mScroll = nullptr;               // HScroll1
    QFrame *mCanvas = nullptr;                   // Picture1_1
    std::array<QFrame *, 2> mRows{};             // Picture1_2, Picture1_3
    std::array<QVector<QSlider *>, 2> mSliders;  // LeftChanelSlider, RightChanelSlider
    std::array<QVector<QLabel *>, 2> mCaptions;  // Label1, Label5
    std::array<QVector<QLabel *>, 2> mReadouts;  // Label2, Label6
    std::array<QLabel *, 2> mStrips{};           // Label3_0, Label7_0
    std::array<QFrame *, 2> mZeroLines{};        // Line3, Line5
};
