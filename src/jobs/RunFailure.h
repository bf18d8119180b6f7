// Tells, in the user's words, whether a finished tool run gave what the
// next step needs: the one judgement of a run.
#pragma once

#include <QString>
#include <QStringList>

class ToolRun;

// What a finished run came to, before anyone words it: every caller that
// words a failure in its own terms reads these, so a run is judged once.
struct RunFacts
{
    // How the run ended; the text when it could not start.
    int end = 0; // ToolRun::End
    QString startFailure;
    int exitCode = 0;
    // The signal that ended it, also when ffmpeg caught it and said so
    // itself; 0 when none did.
    int signal = 0;
    // A failure its output names whatever its status (a full disk first).
    QString knownFailure;
    // The first output file it left missing or empty; empty text when none.
    QString missingOutput;
};

RunFacts JudgeRun(const ToolRun &run, const QString &output, const QStringList &outputFiles = {});

// Empty text when the run finished with exit code 0, its output holds no
// known failure line and, when an output file is named, it left that file
// non-empty. Otherwise one sentence: the tool could not be started, was
// stopped, or its first known failure line, else its last error line.
QString RunFailure(const ToolRun &run, const QString &output, const QString &toolName,
                   const QString &outputFile = QString());
// The same wording from the facts of a run and its output.
QString RunFailure(const RunFacts &facts, const QString &output, const QString &toolName);
