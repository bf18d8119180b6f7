// Judges a finished tool run and words its failure for the user.
#include "preview/RunFailure.h"

#include "import/ToolOutputFacts.h"
#include "process/DOSOutputs.h"

#include <QFileInfo>

QString RunFailure(const DOSOutputs &runner, const QString &toolName, const QString &outputFile)
{
    switch (runner.LastRunEnd()) {
    case DOSOutputs::RunEnd::None:
        return toolName + QLatin1String(" did not run.");
    case DOSOutputs::RunEnd::FailedToStart:
        return toolName + QLatin1String(" could not be started: ") + runner.FailureReason();
    case DOSOutputs::RunEnd::Stopped:
        return toolName + QLatin1String(" was stopped.");
    case DOSOutputs::RunEnd::Finished:
        break;
    }
    const QString lastLine = ToolOutputFacts::LastErrorLine(runner.Outputs());
    if (runner.ExitCode() != 0) {
        if (lastLine.isEmpty())
            return toolName + QStringLiteral(" failed with exit code %1.").arg(runner.ExitCode());
        return toolName + QLatin1String(" failed: ") + lastLine;
    }
    if (!outputFile.isEmpty()) {
        const QFileInfo output(outputFile);
        if (!output.exists() || output.size() == 0) {
            QString failure = toolName + QLatin1String(" wrote nothing to ") + outputFile;
            if (!lastLine.isEmpty())
                failure += QLatin1String(": ") + lastLine;
            return failure;
        }
    }
    return QString();
}
