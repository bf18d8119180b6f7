// Judges a finished tool run and words its failure for the user.
#include "preview/RunFailure.h"

#include "import/ToolOutputFacts.h"
#include "process/DOSOutputs.h"

#include <QFileInfo>

#include <cstring>

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
    if (runner.ExitSignal() != 0) {
        // Its last output line would only say how far it got.
        return toolName
            + QStringLiteral(" was stopped by signal %1 (%2).")
                  .arg(runner.ExitSignal())
                  .arg(QString::fromLocal8Bit(::strsignal(runner.ExitSignal())));
    }
    const QString lastLine = ToolOutputFacts::LastErrorLine(runner.Outputs());
    if (runner.ExitCode() != 0) {
        if (lastLine.isEmpty())
            return toolName + QStringLiteral(" failed with exit code %1.").arg(runner.ExitCode());
        return toolName + QLatin1String(" failed: ") + lastLine;
    }
    // ffmpeg exits with 0 after a failed trailer, ffplay after failing to
    // open the audio device: the output says what the status does not.
    const QString knownFailure = ToolOutputFacts::KnownFailureLine(runner.Outputs());
    if (!knownFailure.isEmpty())
        return toolName + QLatin1String(" failed: ") + knownFailure;
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
