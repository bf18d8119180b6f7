// Brenvox's export against a peer: `brenvox --export` beside sox running
// the same 65 peaking bands per channel, and beside one ffmpeg run of the
// graph Brenvox itself builds, taken in turns within each round so that a
// busy moment of the machine falls on all three alike. It prints the times,
// Brenvox's ratios to both, the CPU time each took and Brenvox's peak
// workspace per minute of audio.
#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChainText.h"
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/EqualizerState.h"
#include "core/tools/ExportCommands.h"

#include "BenchFigures.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double TargetSixBandsRatio = 1.0;  // of sox's time, 10-minute source
constexpr double TargetAllBandsRatio = 0.85; // the export's ratio before it left out 0 dB bands
constexpr double TargetWorkspaceMbPerMinute = 22.0;
constexpr int SampleRate = 44100;

struct Run
{
    double seconds = -1; // negative: it failed
    double cpuSeconds = 0;
    qint64 peakWorkspaceBytes = 0;
};

qint64 FolderBytes(const QString &folder)
{
    qint64 bytes = 0;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        bytes += files.fileInfo().size();
    }
    return bytes;
}

// The program and its arguments, waited for in an event loop; with a
// workspace, TMPDIR names it and its size is sampled while the run lasts.
Run Time(const QString &program, const QStringList &arguments, const QString &workspace = QString())
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!workspace.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), workspace);
        process.setProcessEnvironment(environment);
    }
    Run run;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        run.peakWorkspaceBytes = std::max(run.peakWorkspaceBytes, FolderBytes(workspace));
    });
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    const double cpuBefore = ChildrenCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    process.start();
    if (!workspace.isEmpty())
        sampler.start(20);
    if (process.state() != QProcess::NotRunning || process.waitForStarted())
        loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return run;
    }
    run.seconds = seconds;
    run.cpuSeconds = ChildrenCpuSeconds() - cpuBefore;
    return run;
}

struct Setting
{
    const char *name;
    BandGains gains; // the same on both channels
};

std::vector<Setting> Settings()
{
    Setting six{"six bands moved", {}};
    six.gains.fill(QStringLiteral("0"));
    const int moved[] = {4, 14, 24, 34, 44, 54};
    for (int i = 0; i < 6; ++i)
        six.gains[moved[i]] = QString::number(i % 2 ? -6 : 6);
    Setting all{"all 65 moved", {}};
    for (int band = 0; band < BandTable::BandCount; ++band)
        all.gains[band] = QString::number(band % 12 - 6 == 0 ? 3 : band % 12 - 6);
    return {six, all};
}

struct Peers
{
    QString ffmpeg;
    QString brenvox;
    QString sox; // empty when it is not installed
};

QStringList BrenvoxArguments(const Setting &setting, const QString &source, const QString &output)
{
    QStringList arguments{QStringLiteral("--export"), output, QStringLiteral("--overwrite"),
                          QStringLiteral("--bandwidth"), QStringLiteral("1")};
    for (int band = 0; band < BandTable::BandCount; ++band) {
        if (setting.gains[band] == QLatin1String("0"))
            continue;
        const QString value = QStringLiteral("%1=%2").arg(band + 1).arg(setting.gains[band]);
        arguments << QStringLiteral("--left-band") << value << QStringLiteral("--right-band") << value;
    }
    return arguments << source;
}

// sox's equalizer with the width in octaves is the same peaking design.
QStringList SoxArguments(const Setting &setting, const QString &source, const QString &output)
{
    QStringList arguments{QStringLiteral("-D"), source, QStringLiteral("-b"), QStringLiteral("16"), output};
    for (int band = 0; band < BandTable::BandCount; ++band)
        arguments << QStringLiteral("equalizer") << QString::number(BandTable::FrequencyHz(band), 'g', 10)
                  << QStringLiteral("1o") << setting.gains[band];
    return arguments;
}

QStringList FfmpegArguments(const QString &folder, const Setting &setting, const QString &source,
                            const QString &output)
{
    ChannelResponse::Chain played = ChannelChain::FromSettings(EqualizerSettings(), 0, 0);
    for (int band = 0; band < BandTable::BandCount; ++band)
        played.gainsDb[band] = setting.gains[band].toDouble();
    const QString chain = ChainText::Render(played, false);
    return ExportCommands::RenderWhole(folder, source, 1, chain, 1, chain, output, 16).arguments;
}

// What a file decodes to: ffmpeg's MD5 of its samples.
QByteArray DecodedMd5(const QString &ffmpeg, const QString &file)
{
    QProcess process;
    process.start(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), file,
                           QStringLiteral("-f"), QStringLiteral("md5"), QStringLiteral("-")});
    process.waitForFinished(-1);
    return process.readAllStandardOutput().trimmed();
}

bool MakeSource(const QString &ffmpeg, const QString &path, int seconds)
{
    const QString graph = QStringLiteral("anoisesrc=color=pink:seed=7:sample_rate=%1:duration=%2[l];"
                                         "anoisesrc=color=pink:seed=8:sample_rate=%1:duration=%2[r];"
                                         "[l][r]amerge=inputs=2")
                              .arg(SampleRate)
                              .arg(seconds);
    return Time(ffmpeg, {QStringLiteral("-y"), QStringLiteral("-filter_complex"), graph, QStringLiteral("-c:a"),
                         QStringLiteral("pcm_s16le"), path})
               .seconds
        >= 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool quick = application.arguments().contains(QStringLiteral("--quick"));
    const int rounds = quick ? 1 : 3;
    const std::vector<int> lengths = quick ? std::vector<int>{5} : std::vector<int>{60, 600};

    const QString bin = qEnvironmentVariableIsEmpty("BRENVOX_BIN") ? QCoreApplication::applicationDirPath()
                                                                     : qEnvironmentVariable("BRENVOX_BIN");
    Peers peers{QStandardPaths::findExecutable(QStringLiteral("ffmpeg"), {bin}),
                bin + QStringLiteral("/brenvox"), QStandardPaths::findExecutable(QStringLiteral("sox"))};
    if (peers.ffmpeg.isEmpty())
        peers.ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (peers.ffmpeg.isEmpty() || !QFileInfo(peers.brenvox).isExecutable()) {
        std::fprintf(stderr, "ffmpeg or brenvox not found (BRENVOX_BIN=%s)\n", qPrintable(bin));
        return 1;
    }
    if (peers.sox.isEmpty())
        std::printf("sox is not installed: its columns are left out\n");
    const QString ffmpegFolder = QFileInfo(peers.ffmpeg).absolutePath();

    QTemporaryDir scratch;
    const QString workspace = scratch.filePath(QStringLiteral("workspace"));
    const QString outputs = scratch.filePath(QStringLiteral("out"));
    if (!scratch.isValid() || !QDir().mkpath(workspace) || !QDir().mkpath(outputs))
        return 1;

    bool failed = false;
    bool missed = false;
    std::printf("%-8s %-16s %9s %9s %9s %8s %8s %10s %10s %10s %9s\n", "source", "bands", "brenvox s", "sox s",
                "ffmpeg s", "/sox", "/ffmpeg", "cpu brenv", "cpu sox", "cpu ffmpeg", "MB/min");
    for (const int seconds : lengths) {
        const QString source = scratch.filePath(QStringLiteral("source%1.wav").arg(seconds));
        if (!MakeSource(peers.ffmpeg, source, seconds)) {
            std::fprintf(stderr, "could not make the source\n");
            return 1;
        }
        for (const Setting &setting : Settings()) {
            std::vector<double> times[3], cpu[3];
            qint64 peakWorkspace = 0;
            for (int round = 0; round < rounds; ++round) {
                for (int turn = 0; turn < 3; ++turn) {
                    const int which = (turn + round) % 3;
                    Run run;
                    if (which == 0) {
                        run = Time(peers.brenvox,
                                   BrenvoxArguments(setting, source, outputs + QStringLiteral("/brenvox.wav")),
                                   workspace);
                        peakWorkspace = std::max(peakWorkspace, run.peakWorkspaceBytes);
                    } else if (which == 1) {
                        if (peers.sox.isEmpty())
                            continue;
                        run = Time(peers.sox, SoxArguments(setting, source, outputs + QStringLiteral("/sox.wav")));
                    } else {
                        run = Time(peers.ffmpeg, FfmpegArguments(ffmpegFolder, setting, source,
                                                                 outputs + QStringLiteral("/ffmpeg.wav")));
                    }
                    if (run.seconds < 0) {
                        failed = true;
                        continue;
                    }
                    times[which].push_back(run.seconds);
                    cpu[which].push_back(run.cpuSeconds);
                }
            }
            const double brenvox = Median(times[0]);
            const double sox = Median(times[1]);
            const double ffmpeg = Median(times[2]);
            const double perMinute = peakWorkspace / 1e6 / (seconds / 60.0);
            std::printf("%-8s %-16s %9.3f %9.3f %9.3f %8.2f %8.2f %10.3f %10.3f %10.3f %9.1f\n",
                        qPrintable(QStringLiteral("%1 s").arg(seconds)), setting.name, brenvox, sox, ffmpeg,
                        sox > 0 ? brenvox / sox : 0, ffmpeg > 0 ? brenvox / ffmpeg : 0, Median(cpu[0]),
                        Median(cpu[1]), Median(cpu[2]), perMinute);
            // A time is worth comparing only for the same work.
            const QByteArray written = DecodedMd5(peers.ffmpeg, outputs + QStringLiteral("/brenvox.wav"));
            const bool same = !written.isEmpty()
                && written == DecodedMd5(peers.ffmpeg, outputs + QStringLiteral("/ffmpeg.wav"));
            std::printf("  brenvox wrote the audio the one ffmpeg run wrote: %s\n", same ? "yes" : "NO");
            failed = failed || !same;
            if (quick)
                continue;
            missed = missed || perMinute > TargetWorkspaceMbPerMinute;
            if (seconds == 600 && sox > 0) {
                const bool six = std::count(setting.gains.begin(), setting.gains.end(), QStringLiteral("0")) > 0;
                const double target = six ? TargetSixBandsRatio : TargetAllBandsRatio;
                const bool met = brenvox / sox <= target;
                std::printf("  target: at most %.2f of sox's time: %s\n", target, met ? "met" : "MISSED");
                missed = missed || !met;
            }
        }
    }
    std::printf("workspace target: at most %.0f MB a minute of audio\n", TargetWorkspaceMbPerMinute);
    if (failed)
        return 1;
    return quick || !missed ? 0 : 2;
}
