// Tells, in the user's words, whether a finished tool run gave what the
// next step needs.
#pragma once

#include <QString>

class DOSOutputs;

// Empty text when the run finished with exit code 0 and, when an output
// file is named, left that file non-empty. Otherwise one sentence: the tool
// could not be started, or its last error line.
QString RunFailure(const DOSOutputs &runner, const QString &toolName,
                   const QString &outputFile = QString());
