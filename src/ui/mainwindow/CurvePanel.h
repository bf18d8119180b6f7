// Under the band panels: the response curve of both channels, and beside it
// the "Avoid clipping" and "As drawn" check boxes, each channel's preamp,
// the peaks and the warnings. Every way of setting a box (a click, the
// keyboard, a screen reader's action) sets the session; the panel shows
// the session's settings and plans.
#pragma once

#include "dsp/EqualizerSettings.h"

#include <QWidget>

#include <array>

class ResponseCurveView;
class Session;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;

class CurvePanel : public QWidget
{
    Q_OBJECT

public:
    // Its height where the window has room for it.
    static constexpr double FullHeightTwips = 3000;

    CurvePanel(Session &session, QWidget *window);

    QList<QWidget *> TabOrder() const;
    // Under the band viewport, down to the status line at most, reaching to
    // the window's right edge less its margin; it gives way where it would
    // be squeezed below what it can draw, and hides with the band rows.
    void Place(const QRectF &viewport, double statusTop, double innerWidth, bool rowsShown);

    // Returns whether the warnings changed, which changes the room they need.
    bool Show(const EqualizerSettings &settings, const std::array<bool, 2> &planChanged);

private:
    bool ShowResponseTexts();

    Session &mSession;
    ResponseCurveView *mCurve = nullptr;          // ResponseCurve
    QCheckBox *mAvoidClipping = nullptr;          // AvoidClippingBox
    QCheckBox *mAsDrawn = nullptr;                // AsDrawnBox
    QLabel *mPreampLabel = nullptr;               // PreampLabel
    std::array<QDoubleSpinBox *, 2> mPreamps{};   // PreampBox_0, PreampBox_1
    std::array<QLabel *, 2> mPeaks{};             // PeakLabel_0, PeakLabel_1
    QLabel *mClipWarning = nullptr;               // ClipWarning
    QLabel *mDeviationWarning = nullptr;          // DeviationWarning
};
