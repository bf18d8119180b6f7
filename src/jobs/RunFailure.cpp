// Judges a finished tool run and words its failure for the user.
#include "jobs/RunFailure.h"

#include "core/tools/ToolOutputFacts.h"
#include "process/DOSOutputs.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>

namespace {

QString Judge(DOSOutputs::End end, int exitCode, int exitSignal, const QString &failureReason,
              const QString &outputs, const QString &toolName, const QString &outputFile)
{
    switch (end) {
    case DOSOutputs::End::None:
        return toolName + QLatin1String(" did not run.");
    case DOSOutputs::End::FailedToStart:
        return toolName + QLatin1String(" could not be started: ") + failureReason;
    case DOSOutputs::End::Stopped:
        return toolName + QLatin1String(" was stopped.");
    case DOSOutputs::End::Finished:
        break;
    }
    // ffmpeg ends on SIGTERM and SIGINT by itself, with its own status, and
    // says so only in its last words.
    if (exitSignal == 0 && exitCode != 0) {
        static const QRegularExpression received(QStringLiteral("Exiting normally, received signal (\\d+)\\."));
        const QRegularExpressionMatch said = received.match(outputs);
        if (said.hasMatch())
            exitSignal = said.captured(1).toInt();
    }
    if (exitSignal != 0) {
        // Its last output line would only say how far it got.
        return toolName
            + QStringLiteral(" was stopped by signal %1 (%2).")
                  .arg(exitSignal)
                  .arg(QString::fromLocal8Bit(::strsignal(exitSignal)));
    }
    // ffmpeg exits with 0 after a failed trailer, ffplay after failing to
    // open the audio device: the output says what the status does not. A
    // full disk is the reason also when ffmpeg's last words are about
    // something else.
    const QString knownFailure = ToolOutputFacts::KnownFailureLine(outputs);
    if (!knownFailure.isEmpty())
        return toolName + QLatin1String(" failed: ") + knownFailure;
    const QString lastLine = ToolOutputFacts::LastErrorLine(outputs);
    if (exitCode != 0) {
        if (lastLine.isEmpty())
            return toolName + QStringLiteral(" failed with exit code %1.").arg(exitCode);
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

} // namespace

QString RunFailure(const DOSOutputs &run, const QString &output, const QString &toolName,
                   const QString &outputFile)
{
    return Judge(run.LastEnd(), run.ExitCode(), run.ExitSignal(), run.FailureReason(), output,
                 toolName, outputFile);
}
