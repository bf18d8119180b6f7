// Tells, in the user's words, whether a finished tool run gave what the
// next step needs: the one judgement of a run.
#pragma once

#include <QString>

class DOSOutputs;

// Empty text when the run finished with exit code 0, its output holds no
// known failure line and, when an output file is named, it left that file
// non-empty. Otherwise one sentence: the tool could not be started, was
// stopped, or its first known failure line, else its last error line.
QString RunFailure(const DOSOutputs &run, const QString &output, const QString &toolName,
                   const QString &outputFile = QString());
