// Switching off a slider's value tooltip while it is dragged.
#pragma once

#include <QtGlobal>

class QWidget;

// Qt's sliders show no value tooltip, so there is nothing to switch: returns
// 0, as for a slider without a tooltip window.
qint32 SetSliderToolTip(QWidget *slider, qint16 show);
