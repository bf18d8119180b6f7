// Preview responsiveness with the real ffplay playing into a file (SDL's disk
// driver, at the real pace): from pressing Preview to the first sound for a
// 10- and a 60-minute source, and from a slider move to the changed sound.
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/EqualizerModel.h"
#include "jobs/PreviewJob.h"

#include "BenchFigures.h"
#include "BenchRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rate = 44100;

class Waiter
{
public:
    explicit Waiter(PreviewJob &job)
    {
        const auto say = [](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
        QObject::connect(&job, &PreviewJob::position, [this](double seconds) { position = seconds; });
        QObject::connect(&job, &PreviewJob::note, say);
        QObject::connect(&job, &PreviewJob::failed, say);
        QObject::connect(&job, &PreviewJob::ended, [this] { ended = true; });
    }

    double position = 0;
    bool ended = false;
};

bool Generate(const QString &tools, const QString &graph, const QString &path)
{
    ToolRun runner;
    return RunToEnd(runner, {tools + QStringLiteral("/ffmpeg"),
                             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                              QStringLiteral("lavfi"), QStringLiteral("-i"), graph, path}})
        && runner.ExitCode() == 0 && QFileInfo(path).size() > 0;
}

std::vector<ChannelResponse::Chain> Chains(const EqualizerSettings &settings)
{
    return {ChannelChain::FromSettings(settings, 0, Rate), ChannelChain::FromSettings(settings, 1, Rate)};
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Frames of the stereo capture until the first sample that is not silent.
qint64 FirstSoundFrame(const QByteArray &bytes)
{
    const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
    for (qint64 i = 0; i < bytes.size() / 2; ++i)
        if (std::abs(samples[i]) > 1)
            return i / 2;
    return -1;
}

double BlockDb(const QByteArray &bytes, qint64 frame, int frames)
{
    const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
    double sum = 0;
    for (qint64 i = frame; i < frame + frames && 2 * i + 1 < bytes.size() / 2; ++i)
        sum += double(samples[2 * i]) * samples[2 * i];
    return 10 * std::log10(sum / frames + 1e-9);
}

void Stop(PreviewJob &job, Waiter &waiter)
{
    job.Cancel();
    while (!waiter.ended)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool quick = application.arguments().contains(QStringLiteral("--quick"));
    const QString tools = QCoreApplication::applicationDirPath();
    const int rounds = quick ? 1 : 5;
    const int moves = quick ? 3 : 12;
    QTemporaryDir folder;
    const QString capture = folder.filePath(QStringLiteral("played.raw"));
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(capture));

    PreviewRequest request;
    request.paths = JobPaths::InFolder(folder.path());
    request.playerFolder = tools;
    EqualizerModel model;
    // A shaped curve on every band, so the graph is as large as it gets.
    for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
        model.SetGain(0, band, band % 7 - 3);
        model.SetGain(1, band, 3 - band % 5);
    }
    model.SetGain(0, 29, 0);

    for (const int minutes : quick ? std::vector<int>{1} : std::vector<int>{10, 60}) {
        const QString seconds = QString::number(minutes * 60);
        if (!Generate(tools, QStringLiteral("sine=f=1000:r=44100:d=") + seconds, request.paths.LeftSourceWav)
            || !Generate(tools, QStringLiteral("sine=f=500:r=44100:d=") + seconds, request.paths.RightSourceWav)) {
            std::fprintf(stderr, "could not write the %d-minute source\n", minutes);
            return 1;
        }
        std::vector<double> firstSound;
        for (int round = 0; round < rounds; ++round) {
            QFile::remove(capture);
            request.chains = Chains(model.Settings());
            PreviewJob job(request);
            Waiter waiter(job);
            QElapsedTimer clock;
            clock.start();
            job.Start();
            while (!waiter.ended && clock.elapsed() < 10000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                if (QFileInfo(capture).size() > 0 && FirstSoundFrame(ReadAll(capture)) >= 0)
                    break;
            }
            firstSound.push_back(clock.elapsed() / 1000.0);
            Stop(job, waiter);
        }
        std::printf("preview of a %d-minute source: first sound after %.3f s (median of %d)\n",
                    minutes, Median(firstSound), rounds);
    }

    // Moves of the left 1 kHz band between 0 and +12 dB while it plays.
    QFile::remove(capture);
    request.chains = Chains(model.Settings());
    PreviewJob job(request);
    Waiter waiter(job);
    job.Start();
    std::vector<qint64> movedAt;
    QElapsedTimer clock;
    clock.start();
    qint64 nextMove = 1000;
    while (int(movedAt.size()) < moves && !waiter.ended && clock.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (clock.elapsed() < nextMove || !job.TakesChanges())
            continue;
        movedAt.push_back(QFileInfo(capture).size() / 4);
        model.SetGain(0, 29, movedAt.size() % 2 ? 12 : 0);
        job.SetChains(Chains(model.Settings()));
        nextMove = clock.elapsed() + 400;
    }
    const qint64 settle = clock.elapsed() + 500;
    while (clock.elapsed() < settle)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    Stop(job, waiter);
    const QByteArray played = ReadAll(capture);
    std::vector<double> heard;
    const int block = Rate / 1000;
    for (qint64 frame : movedAt) {
        const double before = BlockDb(played, frame - 4 * block, 4 * block);
        for (qint64 at = frame - 4 * block; at < frame + Rate / 2; at += block) {
            if (std::abs(BlockDb(played, at, block) - before) > 6) {
                heard.push_back(1000.0 * double(at - frame) / Rate);
                break;
            }
        }
    }
    std::printf("slider move to changed sound at the device: median %.0f ms, longest %.0f ms, "
                "%d of %d moves heard\n",
                Median(heard), heard.empty() ? -1.0 : *std::max_element(heard.begin(), heard.end()),
                int(heard.size()), int(movedAt.size()));
    std::fflush(stdout);
    return heard.size() == movedAt.size() && !movedAt.empty() ? 0 : 1;
}
