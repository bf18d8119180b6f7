// Judges a finished tool run and words its failure for the user.
#include "jobs/RunFailure.h"

#include "core/tools/ToolOutputFacts.h"
#include "process/ToolRun.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cstring>

RunFacts JudgeRun(const ToolRun &run, const QString &output, const QStringList &outputFiles)
{
    RunFacts facts;
    facts.end = int(run.LastEnd());
    facts.startFailure = run.FailureReason();
    facts.exitCode = run.ExitCode();
    facts.signal = run.ExitSignal();
    if (run.LastEnd() != ToolRun::End::Finished)
        return facts;
    // ffmpeg ends on SIGTERM and SIGINT by itself, with its own status, and
    // says so only in its last words.
    if (facts.signal == 0 && facts.exitCode != 0) {
        static const QRegularExpression received(QStringLiteral("Exiting normally, received signal (\\d+)\\."));
        const QRegularExpressionMatch said = received.match(output);
        if (said.hasMatch())
            facts.signal = said.captured(1).toInt();
    }
    // ffmpeg exits with 0 after a failed trailer, ffplay after failing to
    // open the audio device: the output says what the status does not.
    facts.knownFailure = ToolOutputFacts::KnownFailureLine(output);
    for (const QString &path : outputFiles) {
        const QFileInfo file(path);
        if (!file.exists() || file.size() == 0) {
            facts.missingOutput = path;
            break;
        }
    }
    return facts;
}

QString RunFailure(const RunFacts &facts, const QString &output, const QString &toolName)
{
    switch (ToolRun::End(facts.end)) {
    case ToolRun::End::None:
        return toolName + QLatin1String(" did not run.");
    case ToolRun::End::FailedToStart:
        return toolName + QLatin1String(" could not be started: ") + facts.startFailure;
    case ToolRun::End::Stopped:
        return toolName + QLatin1String(" was stopped.");
    case ToolRun::End::Finished:
        break;
    }
    if (facts.signal != 0) {
        // Its last output line would only say how far it got.
        return toolName
            + QStringLiteral(" was stopped by signal %1 (%2).")
                  .arg(facts.signal)
                  .arg(QString::fromLocal8Bit(::strsignal(facts.signal)));
    }
    // A full disk is the reason also when ffmpeg's last words are about
    // something else.
    if (!facts.knownFailure.isEmpty())
        return toolName + QLatin1String(" failed: ") + facts.knownFailure;
    const QString lastLine = ToolOutputFacts::LastErrorLine(output);
    if (facts.exitCode != 0) {
        if (lastLine.isEmpty())
            return toolName + QStringLiteral(" failed with exit code %1.").arg(facts.exitCode);
        return toolName + QLatin1String(" failed: ") + lastLine;
    }
    if (!facts.missingOutput.isEmpty()) {
        QString failure = toolName + QLatin1String(" wrote nothing to ") + facts.missingOutput;
        if (!lastLine.isEmpty())
            failure += QLatin1String(": ") + lastLine;
        return failure;
    }
    return QString();
}

QString RunFailure(const ToolRun &run, const QString &output, const QString &toolName,
                   const QString &outputFile)
{
    return RunFailure(JudgeRun(run, output, outputFile.isEmpty() ? QStringList() : QStringList{outputFile}), output,
                      toolName);
}
