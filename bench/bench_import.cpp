// Import cost: how long the duration probe and the channel split of a long
// stereo MP3 take with the real tools, read through the runner as ImportWindow does,
// and what the split's peak measurement adds to it.
#include "core/tools/ImportCommands.h"
#include "core/tools/ToolOutputReader.h"

#include "BenchFigures.h"
#include "BenchRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Seconds the run took; negative when it failed or printed no duration.
double TimedRun(const ToolCommand &command, QString *duration, std::vector<double> *cpuSeconds = nullptr)
{
    const double cpuBefore = ChildrenCpuSeconds();
    ToolRun runner;
    ToolOutputReader reader;
    QElapsedTimer clock;
    clock.start();
    RunToEnd(runner, command, [&reader](const QByteArray &chunk) { reader.Feed(QString::fromLatin1(chunk)); });
    const double seconds = clock.elapsed() / 1000.0;
    if (runner.LastEnd() != ToolRun::End::Finished || runner.ExitCode() != 0 || !reader.HasDuration())
        return -1;
    *duration = reader.Duration();
    if (cpuSeconds)
        cpuSeconds->push_back(ChildrenCpuSeconds() - cpuBefore);
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool quick = application.arguments().contains(QStringLiteral("--quick"));
    const int sourceSeconds = quick ? 10 : 600;
    const int rounds = quick ? 1 : 5;
    const QString tools = QCoreApplication::applicationDirPath();

    QTemporaryDir folder;
    const QString source = folder.filePath(QStringLiteral("source.mp3"));
    const QString left = folder.filePath(QStringLiteral("Left.wav"));
    const QString right = folder.filePath(QStringLiteral("Right.wav"));
    ToolRun generator;
    const bool generated = RunToEnd(
        generator,
        {tools + QStringLiteral("/ffmpeg"),
         {QStringLiteral("-y"), QStringLiteral("-filter_complex"),
          QStringLiteral("sine=f=440:d=%1[l];sine=f=1000:d=%1[r];[l][r]amerge=inputs=2").arg(sourceSeconds), source}});
    if (!generated || generator.ExitCode() != 0 || !QFileInfo::exists(source)) {
        std::fprintf(stderr, "could not make the source\n");
        return 1;
    }

    const ToolCommand measuredSplit = ImportCommands::SplitCommand(tools, source, left, right);
    static const QRegularExpression measurement(QStringLiteral(",aformat=sample_fmts=flt,astats=[^\\[]*"));
    ToolCommand plainSplit = measuredSplit;
    plainSplit.arguments.replaceInStrings(measurement, QString());
    std::vector<double> probe;
    std::vector<double> split;
    std::vector<double> unmeasured;
    std::vector<double> splitCpu;
    std::vector<double> unmeasuredCpu;
    for (int round = 0; round < rounds; ++round) {
        QString probed;
        QString splitDuration;
        probe.push_back(TimedRun(ImportCommands::ProbeCommand(tools, source), &probed));
        // Each goes first every other round.
        for (int run = 0; run < 2; ++run) {
            if ((run + round) % 2 == 0)
                split.push_back(TimedRun(measuredSplit, &splitDuration, &splitCpu));
            else
                unmeasured.push_back(TimedRun(plainSplit, &splitDuration, &unmeasuredCpu));
        }
        if (probe.back() < 0 || split.back() < 0 || unmeasured.back() < 0 || probed != QString::number(sourceSeconds)
            || QFileInfo(left).size() == 0 || QFileInfo(right).size() == 0) {
            std::fprintf(stderr, "import of the source failed (duration \"%s\")\n", qPrintable(probed));
            return 1;
        }
    }
    const double splitSeconds = Median(split);
    std::printf("import probe: %.3f s median of %d for a %d s stereo MP3\n", Median(probe), rounds, sourceSeconds);
    std::printf("import split: %.3f s median of %d, %.0fx real time\n", splitSeconds, rounds,
                sourceSeconds / splitSeconds);
    std::printf("import split without the peak measurement: %.3f s median of %d; with it: ratio %.3f\n",
                Median(unmeasured), rounds, splitSeconds / Median(unmeasured));
    std::printf("  processor time of the split: %.3f s with the peak measurement, %.3f s without, ratio %.3f\n",
                Median(splitCpu), Median(unmeasuredCpu), Median(splitCpu) / Median(unmeasuredCpu));
    return 0;
}
