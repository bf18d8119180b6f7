#include "core/tools/ClockField.h"

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

std::optional<double> ExactSeconds(const QString &text, qsizetype at, int maximumHours)
{
    const std::optional<qint32> whole = Seconds(text, at, maximumHours);
    if (!whole)
        return std::nullopt;
    double seconds = *whole;
    qsizetype digit = at + 8;
    if (digit < text.size() && text.at(digit) == QLatin1Char('.')) {
        double place = 0.1;
        for (++digit; digit < text.size() && text.at(digit).isDigit(); ++digit, place /= 10)
            seconds += place * text.at(digit).digitValue();
    }
    return seconds;
}

} // namespace ClockField
