#include "core/tools/CommandText.h"

#include "core/system/NativePath.h"

namespace {

bool NeedsQuotes(const QString &value)
{
    if (value.isEmpty())
        return true;
    for (const QChar c : value) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('"') || c == QLatin1Char('\\'))
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

QString Tool(const QString &toolFolder, const char *name)
{
    return toolFolder + QLatin1Char('/') + QLatin1String(name);
}

} // namespace CommandText

QString ToolCommand::Text() const
{
    QString text = CommandText::QuoteArgument(program);
    for (const QString &argument : arguments)
        text += QLatin1Char(' ') + CommandText::QuoteArgument(argument);
    return text;
}
