// Joins one tool run's console output, which arrives in chunks cut anywhere,
// into lines, and picks out the source's duration on the way.
#pragma once

#include <QString>
#include <QStringList>

class ToolOutputReader
{
public:
    // Forgets the previous run.
    void Start();

    // Takes one chunk; the end of the output is the empty chunk. Returns
    // true when the run's first "Duration:" line was completed by it.
    bool Feed(const QString &chunk);

    bool HasDuration() const;
    // Whole seconds as text, empty when the tool printed no time of day.
    QString Duration() const;

    // Every complete line so far, without its ending; ffmpeg ends status
    // lines with a carriage return alone, so that ends a line too.
    QStringList Lines() const;

private:
    bool TakeLine(const QString &line);

    QString mPartialLine;
    QStringList mLines;
    bool mHasDuration = false;
    QString mDuration;
};
