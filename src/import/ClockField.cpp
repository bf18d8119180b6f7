#include "import/ClockField.h"

namespace {

// Two decimal digits at 'at'; -1 when they are not.
int TwoDigits(const QString &text, qsizetype at)
{
    const char16_t high = text.at(at).unicode();
    const char16_t low = text.at(at + 1).unicode();
    if (high < u'0' || high > u'9' || low < u'0' || low > u'9')
        return -1;
    return (high - u'0') * 10 + (low - u'0');
}

} // namespace

namespace ClockField {

std::optional<qint32> Seconds(const QString &text, qsizetype at, int maximumHours)
{
    if (at < 0 || at + 8 > text.size())
        return std::nullopt;
    if (text.at(at + 2) != QLatin1Char(':') || text.at(at + 5) != QLatin1Char(':'))
        return std::nullopt;
    const int hours = TwoDigits(text, at);
    const int minutes = TwoDigits(text, at + 3);
    const int seconds = TwoDigits(text, at + 6);
    if (hours < 0 || hours > maximumHours || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return std::nullopt;
    return hours * 3600 + minutes * 60 + seconds;
}

} // namespace ClockField
