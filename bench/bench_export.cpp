// The export's tool time with float channel files against the 16-bit ones
// used before: both renders at once, then the merge, on a long stereo MP3.
#include "core/equalizer/ChainText.h"
#include "core/equalizer/ChannelChain.h"
#include "core/tools/ExportCommands.h"
#include "core/tools/ImportCommands.h"

#include "BenchFigures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr double TargetRatio = 1.10;

// The commands as they were before the float files: the same ones without
// the float codec, the larger packets and the peak measurement
// (for an MP3 source the merge had no depth option either).
ToolCommand SixteenBitCommand(ToolCommand command)
{
    static const QRegularExpression measurement(QStringLiteral(",aformat=sample_fmts=flt,astats=[^\\[]*"));
    QStringList &arguments = command.arguments;
    for (qsizetype i = arguments.size() - 2; i >= 0; --i) {
        const QStringList pair = arguments.mid(i, 2);
        if (pair == QStringList{QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")}
            || pair == QStringList{QStringLiteral("-max_size"), QStringLiteral("65536")})
            arguments.remove(i, 2);
    }
    arguments.replaceInStrings(measurement, QString());
    return command;
}

// Runs the commands at once and waits for all; false when any failed.
bool RunTogether(const std::vector<ToolCommand> &commands)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (const ToolCommand &command : commands) {
        auto process = std::make_unique<QProcess>();
        process->setProgram(command.program);
        process->setArguments(command.arguments);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start();
        processes.push_back(std::move(process));
    }
    bool good = true;
    for (const auto &process : processes) {
        good = process->waitForFinished(-1) && process->exitStatus() == QProcess::NormalExit
            && process->exitCode() == 0 && good;
    }
    return good;
}

struct Variant
{
    const char *name;
    ToolCommand split;
    std::vector<ToolCommand> renders;
    ToolCommand merge;
    std::vector<double> seconds;
    std::vector<double> cpuSeconds;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool quick = application.arguments().contains(QStringLiteral("--quick"));
    const int sourceSeconds = quick ? 10 : 600;
    const int rounds = quick ? 1 : 5;
    const QString tools = QCoreApplication::applicationDirPath();

    QTemporaryDir folder;
    const auto path = [&folder](const char *name) { return folder.filePath(QLatin1String(name)); };
    const QString source = path("source.mp3");
    if (!RunTogether({{tools + QStringLiteral("/ffmpeg"),
                       {QStringLiteral("-y"), QStringLiteral("-filter_complex"),
                        QStringLiteral("sine=f=440:d=%1[l];sine=f=1000:d=%1[r];[l][r]amerge=inputs=2").arg(sourceSeconds),
                        source}}})) {
        std::fprintf(stderr, "could not make the source\n");
        return 1;
    }

    // A few bands away from zero on each channel, as a user's would be.
    EqualizerSettings settings;
    settings.channels[0].gains[5] = -6;
    settings.channels[0].gains[29] = 12;
    settings.channels[0].gains[50] = 4;
    settings.channels[1].gains[10] = 8;
    settings.channels[1].gains[40] = -8;
    settings.channels[1].gains[60] = 3;
    const auto chain = [&settings](int channel) {
        return ChainText::Render(ChannelChain::FromSettings(settings, channel, 44100), true);
    };

    const QString output = path("Equalized.wav");
    Variant current{"float files", ImportCommands::SplitCommand(tools, source, path("Left.wav"), path("Right.wav")),
                    {ExportCommands::RenderChannel(tools, path("Left.wav"), 1, chain(0), path("Lout.wav")),
                     ExportCommands::RenderChannel(tools, path("Right.wav"), 1, chain(1),
                                                   path("Rout.wav"))},
                    ExportCommands::Join(tools, path("Lout.wav"), path("Rout.wav"), output, 0), {}, {}};
    Variant before{"16-bit files", SixteenBitCommand(current.split),
                   {SixteenBitCommand(current.renders[0]), SixteenBitCommand(current.renders[1])},
                   SixteenBitCommand(current.merge), {}, {}};

    for (int round = 0; round < rounds; ++round) {
        // Each side goes first every other round, so neither always finds
        // the caches as the other left them.
        Variant *order[2] = {&before, &current};
        if (round % 2)
            std::swap(order[0], order[1]);
        for (Variant *variant : order) {
            if (!RunTogether({variant->split})) {
                std::fprintf(stderr, "the split failed: %s\n", qPrintable(variant->split.Text()));
                return 1;
            }
            const double cpuBefore = ChildrenCpuSeconds();
            QElapsedTimer clock;
            clock.start();
            if (!RunTogether(variant->renders) || !RunTogether({variant->merge})
                || QFileInfo(output).size() == 0) {
                std::fprintf(stderr, "the export with %s failed\n", variant->name);
                return 1;
            }
            variant->seconds.push_back(clock.nsecsElapsed() / 1e9);
            variant->cpuSeconds.push_back(ChildrenCpuSeconds() - cpuBefore);
        }
        std::printf("round %d: %s %.3f s (processor %.3f s), %s %.3f s (processor %.3f s)\n", round + 1,
                    before.name, before.seconds.back(), before.cpuSeconds.back(), current.name,
                    current.seconds.back(), current.cpuSeconds.back());
        std::fflush(stdout);
    }
    const double ratio = Median(current.seconds) / Median(before.seconds);
    std::printf("export of a %d s stereo MP3 to WAV (both renders at once, then the merge), medians of %d: "
                "%s %.3f s, %s %.3f s, ratio %.3f (target <= %.2f: %s)\n",
                sourceSeconds, rounds, before.name, Median(before.seconds), current.name,
                Median(current.seconds), ratio, TargetRatio, ratio <= TargetRatio ? "met" : "MISSED");
    std::printf("  processor time of the tools: %s %.3f s, %s %.3f s, ratio %.3f\n", before.name,
                Median(before.cpuSeconds), current.name, Median(current.cpuSeconds),
                Median(current.cpuSeconds) / Median(before.cpuSeconds));
    return quick || ratio <= TargetRatio ? 0 : 2;
}
