// Splits the rows of hand-made and spreadsheet CSV files.
#include "core/presets/Csv.h"

namespace Csv {

QChar Separator(const QStringList &lines)
{
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        bool quoted = false, comma = false, semicolon = false, tab = false;
        for (const QChar character : line) {
            if (character == QLatin1Char('"'))
                quoted = !quoted;
            else if (!quoted) {
                comma = comma || character == QLatin1Char(',');
                semicolon = semicolon || character == QLatin1Char(';');
                tab = tab || character == QLatin1Char('\t');
            }
        }
        return comma ? QLatin1Char(',') : semicolon ? QLatin1Char(';') : tab ? QLatin1Char('\t') : QLatin1Char(',');
    }
    return QLatin1Char(',');
}

QStringList Fields(const QString &line, QChar separator)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar character = line[i];
        if (character == QLatin1Char('"') && quoted && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
            field += character;
            ++i;
        } else if (character == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (character == separator && !quoted) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += character;
        }
    }
    fields << field.trimmed();
    return fields;
}

bool Number(const QString &field, double *value)
{
    bool ok = false;
    *value = QString(field).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    return ok;
}

} // namespace Csv
