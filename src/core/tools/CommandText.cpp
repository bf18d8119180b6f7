#include "core/tools/CommandText.h"

#include "core/system/NativePath.h"


namespace {

bool IsSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool NeedsQuotes(const QString &value)
{
    if (value.isEmpty())
        return true;
    for (const QChar c : value) {
        if (IsSeparator(c) || c == QLatin1Char('"') || c == QLatin1Char('\\'))
            return true;
    }
    return false;
}

} // namespace

namespace CommandText {

QString QuoteArgument(const QString &value)
{
    if (!NeedsQuotes(value))
        return value;
    QString quoted;
    quoted.reserve(value.size() + 8);
    quoted += QLatin1Char('"');
    for (const QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return quoted;
}

QString ToolFile(const QString &path)
{
    if (path.isEmpty())
        return QString();
    return QLatin1String("file:") + NativePath::Absolute(path);
}

QString QuoteToolFile(const QString &path)
{
    return QuoteArgument(ToolFile(path));
}

QString QuoteTool(const QString &toolFolder, const char *name)
{
    return QuoteArgument(toolFolder + QLatin1Char('/') + QLatin1String(name));
}

QStringList SplitCommandText(const QString &text)
{
    QStringList arguments;
    QString current;
    bool inArgument = false; // an empty quoted stretch still makes an argument
    bool inQuotes = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < text.size()
                && (text.at(i + 1) == QLatin1Char('"') || text.at(i + 1) == QLatin1Char('\\'))) {
                current += text.at(++i);
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (IsSeparator(c)) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    return arguments;
}

} // namespace CommandText
