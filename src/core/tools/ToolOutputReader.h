// Joins one tool run's console output, which arrives in chunks cut anywhere,
// into lines, and picks out the source's duration on the way.
#pragma once

#include <QString>
#include <QStringList>

// The one rule for where a tool's line ends: at a line feed or at a carriage
// return alone (ffmpeg's and ffplay's status lines); empty lines are dropped.
class LineSplitter
{
public:
    // The lines a whole output holds.
    static QStringList Split(const QString &output);

    // The lines this chunk completed; what follows the last end waits for
    // the next chunk.
    QStringList Take(const QString &chunk);
    // The unfinished last line, which is kept.
    const QString &Rest() const { return mRest; }
    // The unfinished last line, then nothing is kept.
    QString TakeRest();
    void Clear();

private:
    QString mRest;
};

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

    LineSplitter mSplitter;
    QStringList mLines;
    bool mHasDuration = false;
    QString mDuration;
};
