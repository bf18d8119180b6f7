#include "core/tools/DurationField.h"

#include "core/tools/ClockField.h"

namespace {

const QLatin1String FieldName("Duration:");

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
    // The field's name, then one blank, then hh:mm:ss of a time of day.
    const std::optional<qint32> seconds = ClockField::Seconds(text, field + FieldName.size() + 1, 23);
    return seconds ? QString::number(*seconds) : QString();
}

} // namespace DurationField
