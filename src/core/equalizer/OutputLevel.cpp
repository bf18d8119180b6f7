#include "core/equalizer/OutputLevel.h"

#include <QLocale>

namespace {

// a / 4 rounded to the nearest integer, halves to the even neighbour; exact
// because the quotient is always a whole number of quarters.
int QuartersRounded(int a)
{
    const int whole = a / 4;
    const int quarters = a % 4;
    if (quarters < 2)
        return whole;
    if (quarters > 2)
        return whole + 1;
    return whole + (whole % 2);
}

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
        result.level = qint16(QuartersRounded(a));
        result.displayText = QuartersText(a);
    } else {
        result.readout = QLatin1Char('-') + QuartersText(position);
        result.level = qint16(-QuartersRounded(position));
        result.displayText = QLatin1Char('-') + QuartersText(position);
    }
    return result;
}
