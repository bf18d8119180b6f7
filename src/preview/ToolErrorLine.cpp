// Finds the last line a tool wrote before it gave up.
#include "preview/ToolErrorLine.h"

QString LastErrorLine(const QString &output)
{
    qsizetype end = output.size();
    while (end > 0) {
        qsizetype start = end;
        while (start > 0 && output.at(start - 1) != QLatin1Char('\n')
               && output.at(start - 1) != QLatin1Char('\r'))
            --start;
        const QString line = output.mid(start, end - start).trimmed();
        if (!line.isEmpty())
            return line;
        end = start - 1;
    }
    return QString();
}
