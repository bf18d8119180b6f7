#include "core/tools/ToolOutputReader.h"

#include "core/tools/DurationField.h"

#include <utility>

void ToolOutputReader::Start()
{
    *this = ToolOutputReader();
}

QStringList LineSplitter::Split(const QString &output)
{
    LineSplitter splitter;
    QStringList lines = splitter.Take(output);
    if (!splitter.Rest().isEmpty())
        lines << splitter.Rest();
    return lines;
}

QStringList LineSplitter::Take(const QString &chunk)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < chunk.size(); ++i) {
        const QChar c = chunk.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        const QString line = mRest + chunk.mid(start, i - start);
        mRest.clear();
        start = i + 1;
        if (!line.isEmpty())
            lines << line;
    }
    mRest += chunk.mid(start);
    return lines;
}

QString LineSplitter::TakeRest()
{
    return std::exchange(mRest, QString());
}

void LineSplitter::Clear()
{
    mRest.clear();
}

bool ToolOutputReader::Feed(const QString &chunk)
{
    bool found = false;
    QStringList lines = mSplitter.Take(chunk);
    // The end of the output ends its last line.
    if (chunk.isEmpty() && !mSplitter.Rest().isEmpty())
        lines << mSplitter.TakeRest();
    for (const QString &line : lines) {
        if (TakeLine(line))
            found = true;
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
