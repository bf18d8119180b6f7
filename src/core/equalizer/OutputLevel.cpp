#include "core/equalizer/OutputLevel.h"

#include <QLocale>

namespace {

// Shortest form, always with a point ("2.25"), whatever the user's locale.
QString QuartersText(int a)
{
    return QString::number(a / 4.0, 'g', QLocale::FloatingPointShortest);
}

} // namespace

OutputLevel OutputLevelFromPosition(qint16 position)
{
    OutputLevel result;
    if (position < 0) {
        const int a = -int(position);
        result.readout = QLatin1Char('+') + QuartersText(a);
        result.level = a / 4.0;
        result.displayText = QuartersText(a);
    } else {
        result.readout = QLatin1Char('-') + QuartersText(position);
        result.displayText = QLatin1Char('-') + QuartersText(position);
    }
    return result;
}
