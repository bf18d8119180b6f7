#include "import/DurationField.h"

namespace {

const QLatin1String FieldName("Duration:");

// Two decimal digits at 'at'; -1 when they are not.
int TwoDigits(const QString &text, int at)
{
    const char16_t high = text.at(at).unicode();
    const char16_t low = text.at(at + 1).unicode();
    if (high < u'0' || high > u'9' || low < u'0' || low > u'9')
        return -1;
    return (high - u'0') * 10 + (low - u'0');
}

} // namespace

namespace DurationField {

bool Contains(const QString &text)
{
    return text.contains(FieldName);
}

QString SecondsText(const QString &text)
{
    const qsizetype field = text.indexOf(FieldName);
    if (field < 0)
        return QString();
    // The field's name, then one blank, then hh:mm:ss.
    const QString time = text.mid(field + FieldName.size() + 1, 8);
    if (time.size() != 8 || time.at(2) != QLatin1Char(':') || time.at(5) != QLatin1Char(':'))
        return QString();
    const int hours = TwoDigits(time, 0);
    const int minutes = TwoDigits(time, 3);
    const int seconds = TwoDigits(time, 6);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return QString();
    return QString::number(hours * 3600 + minutes * 60 + seconds);
}

} // namespace DurationField
