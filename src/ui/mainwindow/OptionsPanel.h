// The options panel beside the band panels: the output levels, the EQ
// range, the low cut, the left chanel sync, the bandwidth, the preview
// channel and the "Preview", "Save As" and "Reset" buttons. A choice made
// by the user sets the session; the controls show the session's settings.
#pragma once

#include "dsp/EqualizerSettings.h"

#include <QFrame>
#include <QVector>

class Session;
class WindowShortcuts;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

class OptionsPanel : public QFrame
{
    Q_OBJECT

public:
    enum Button { Preview, SaveAs, Reset };

    OptionsPanel(Session &session, QWidget *window);

    // "1 octave", "3 octaves": ffmpeg reads the bandwidth in octaves,
    // whatever the readout's "hz" says.
    static QString BandwidthText(int position);

    void NameControls();
    void AddShortcuts(WindowShortcuts &shortcuts);
    QList<QWidget *> TabOrder() const;
    // At the window's right edge, as tall as the band viewport beside it.
    void PlaceLeft(double innerWidth);
    void PlaceBeside(const QRectF &viewport);

    void Show(const EqualizerSettings &settings);
    // Selects a preview channel without it counting as the user's choice.
    void SelectPreviewChannel(int channel);
    void ShowPreviewChannel(int channel);
    // While an import, a preview or an export runs, "Preview" reads "Stop"
    // during a preview and the buttons that would cut a run short are off.
    void ShowSequence(bool idle, bool previewing, bool sourceImported);
    QString ButtonText(Button button) const;

signals:
    void previewChannelChosen(int channel);
    void buttonClicked(OptionsPanel::Button button);

private:
    QFrame *Group(int index, const QRectF &twips);

    Session &mSession;
    QVector<QFrame *> mGroups;                    // Picture1_5 .. Picture1_11 by design index
    QVector<QSlider *> mLevels;                   // Slider1: the output levels
    QSlider *mBandwidth = nullptr;                // Slider2
    QVector<QLabel *> mLevelReadouts;             // Label9: readouts, then captions
    QLabel *mBandwidthReadout = nullptr;          // Label14
    QFrame *mLevelMidLine = nullptr;              // Line4
    QVector<QRadioButton *> mRange;               // Option1
    QVector<QRadioButton *> mLowCut;              // Option2
    QVector<QRadioButton *> mPreviewChannel;      // Option3
    QVector<QRadioButton *> mSync;                // Option4
    QVector<QLabel *> mRangeLamps;                // Label15
    QVector<QLabel *> mLowCutLamps;               // Label16
    QVector<QLabel *> mPreviewLamps;              // Label17
    QVector<QLabel *> mSyncLamps;                 // Label19
    QVector<QPushButton *> mButtons;              // Command1: "Preview", "Save As", "Reset"
};
