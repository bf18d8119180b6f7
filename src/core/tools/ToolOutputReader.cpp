#include "core/tools/ToolOutputReader.h"

#include "core/tools/DurationField.h"

void ToolOutputReader::Start()
{
    *this = ToolOutputReader();
}

bool ToolOutputReader::Feed(const QString &chunk)
{
    bool found = false;
    if (chunk.isEmpty()) {
        const QString last = mPartialLine;
        mPartialLine.clear();
        return !last.isEmpty() && TakeLine(last);
    }
    for (const QChar c : chunk) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            const QString line = mPartialLine;
            mPartialLine.clear();
            if (!line.isEmpty() && TakeLine(line))
                found = true;
        } else {
            mPartialLine += c;
        }
    }
    return found;
}

bool ToolOutputReader::TakeLine(const QString &line)
{
    mLines << line;
    // A tool prints its input's duration first; a later field (a second
    // input, a chapter) is not the source's.
    if (mHasDuration || !DurationField::Contains(line))
        return false;
    mHasDuration = true;
    mDuration = DurationField::SecondsText(line);
    return true;
}

bool ToolOutputReader::HasDuration() const
{
    return mHasDuration;
}

QString ToolOutputReader::Duration() const
{
    return mDuration;
}

QStringList ToolOutputReader::Lines() const
{
    return mLines;
}
