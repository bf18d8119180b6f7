#include "ui/SliderToolTip.h"

qint32 SetSliderToolTip(QWidget *, qint16)
{
    return 0;
}
