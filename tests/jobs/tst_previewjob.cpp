// The preview's player with the real ffplay, its sound captured by SDL's disk
// driver: it plays what the export writes, takes changes while it plays, and
// its bypass gives the source untouched.
#include "AudioMeasure.h"
#include "TestAppFolder.h"

#include "core/system/AppFolder.h"
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChainText.h"
#include "core/equalizer/OutputLevel.h"
#include "jobs/PreviewJob.h"
#include "core/tools/ChannelCommands.h"

#include <QtTest>

#include <cmath>

namespace {

constexpr int Rate = 44100;
// Bands whose centres the source's tones sit on: 20 Hz (cut by the low
// cut), 100 Hz, 1 kHz, 4 kHz, 10 kHz.
const QList<int> ToneBands{1, 13, 29, 48, 56};

QString Tones(double seconds)
{
    QStringList terms;
    for (int band : ToneBands)
        terms << QStringLiteral("0.05*sin(2*PI*%1*t)").arg(BandTable::FrequencyHz(band));
    return QStringLiteral("aevalsrc=%1:s=%2:d=%3").arg(terms.join(QLatin1Char('+'))).arg(Rate).arg(seconds);
}

struct Samples
{
    QVector<qint16> values;
    int channels = 1;
    qsizetype frames() const { return values.size() / channels; }
};

Samples ReadRaw(const QString &path, int channels)
{
    Samples samples;
    samples.channels = channels;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        samples.values.resize(bytes.size() / 2 / channels * channels);
        std::memcpy(samples.values.data(), bytes.constData(), size_t(samples.values.size()) * 2);
    }
    return samples;
}

Samples Decode(const QString &file, int channels, const QString &scratch)
{
    AudioMeasure::RunTool(QStringLiteral("ffmpeg"),
                          {"-v", "error", "-y", "-i", file, "-f", "s16le", "-ac",
                           QString::number(channels), scratch});
    return ReadRaw(scratch, channels);
}

// The first frame that is not silent: the player's device may start with
// silence before the first sound.
qsizetype FirstSound(const Samples &samples)
{
    for (qsizetype i = 0; i < samples.values.size(); ++i)
        if (std::abs(samples.values[i]) > 1)
            return i / samples.channels;
    return samples.frames();
}

// The tone's level in dBFS over `count` frames, through a Hann window.
double ToneDb(const Samples &samples, int channel, qsizetype from, qsizetype count, double hz)
{
    const double w = 2 * M_PI * hz / Rate;
    double re = 0, im = 0, windowSum = 0;
    for (qsizetype i = 0; i < count && from + i < samples.frames(); ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(count));
        const double x = samples.values[(from + i) * samples.channels + channel] / 32768.0 * window;
        re += x * std::cos(w * double(i));
        im -= x * std::sin(w * double(i));
        windowSum += window;
    }
    const double amplitude = 2 * std::hypot(re, im) / windowSum;
    return amplitude > 0 ? 20 * std::log10(amplitude) : -200;
}

double BlockDb(const Samples &samples, int channel, qsizetype from, qsizetype count)
{
    double sum = 0;
    for (qsizetype i = from; i < from + count && i < samples.frames(); ++i) {
        const double x = samples.values[i * samples.channels + channel] / 32768.0;
        sum += x * x;
    }
    return sum > 0 ? 10 * std::log10(sum / double(count)) : -200;
}

// One channel's settings: "29:6,13:-3.5" (band:dB) at a level position.
struct ChannelSetup
{
    QString gains;
    int levelPosition = -4;
};

std::array<double, EqualizerSettings::BandCount> GainsOf(const QString &text)
{
    std::array<double, EqualizerSettings::BandCount> gains{};
    for (const QString &pair : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        gains[pair.section(QLatin1Char(':'), 0, 0).toInt()] = pair.section(QLatin1Char(':'), 1).toDouble();
    return gains;
}

ChannelResponse::Chain ChainOf(const ChannelSetup &setup, int channel, bool lowCut, int bandwidth, int rate = Rate)
{
    EqualizerSettings settings;
    settings.lowCut = lowCut;
    settings.bandwidth = bandwidth;
    settings.channels[channel].levelPosition = setup.levelPosition;
    const auto gains = GainsOf(setup.gains);
    return ChannelChain::FromSettings(settings, channel, rate, &gains);
}

// The export's render of one channel, as its command runs it.
QString Render(const QString &wav, const ChannelSetup &setup, bool lowCut, int bandwidth,
               const QString &out, int rate = Rate)
{
    const ToolCommand command = ChannelCommands::RenderChannel(
        TestAppFolder::binFolder(), wav, OutputLevelFromPosition(qint16(setup.levelPosition)).level,
        ChainText::Render(ChainOf(setup, 0, lowCut, bandwidth, rate), true), out);
    AudioMeasure::RunTool(QStringLiteral("ffmpeg"), command.arguments);
    return out;
}

class Listener
{
public:
    void Watch(PreviewJob &job)
    {
        QObject::connect(&job, &PreviewJob::position, [this](double seconds) {
            if (onPosition)
                onPosition(seconds);
        });
        QObject::connect(&job, &PreviewJob::note, [this](const QString &note) { notes << note; });
        QObject::connect(&job, &PreviewJob::failed, [this](const QString &said) { failures << said; });
        QObject::connect(&job, &PreviewJob::ended, &loop, &QEventLoop::quit);
    }

    std::function<void(double)> onPosition;
    QStringList notes;
    QStringList failures;
    QEventLoop loop;
};

} // namespace

class tst_PreviewJob : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void playsWhatTheExportWrites_data();
    void playsWhatTheExportWrites();
    void changesWhilePlaying_data();
    void changesWhilePlaying();
    void changesLeaveNoOffset_data();
    void changesLeaveNoOffset();

private:
    // Plays to the end and returns what the device got.
    Samples Play(PreviewJob &job, Listener &listener, int channels);

    std::unique_ptr<TestAppFolder> mApp;
    JobPaths mPaths;
    QString mCapture;
};

void tst_PreviewJob::initTestCase()
{
    if (!QFileInfo(TestAppFolder::binFolder() + QLatin1String("/ffplay")).isExecutable())
        QSKIP("ffplay is not installed");
}

void tst_PreviewJob::init()
{
    mApp = std::make_unique<TestAppFolder>();
    QVERIFY(mApp->linkRealTool(QStringLiteral("ffplay")));
    PrepareWorkspace();
    mPaths = JobPaths::InWorkspace();
    QVERIFY(AudioMeasure::Generate(Tones(3), mPaths.LeftSourceWav));
    // 132300 samples, no multiple of a frame, the last 50 of them louder.
    QVERIFY(AudioMeasure::Generate(QStringLiteral("aevalsrc=if(gte(n\\,132250)\\,0.5\\,0.1)*sin(2*PI*1000*t):d=3"),
                                   mPaths.RightSourceWav));
    mCapture = mApp->scratchPath(QStringLiteral("played.raw"));
    QFile::remove(mCapture);
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(mCapture));
}

void tst_PreviewJob::cleanup()
{
    qunsetenv("SDL_AUDIODRIVER");
    qunsetenv("SDL_DISKAUDIOFILE");
    mApp.reset();
}

Samples tst_PreviewJob::Play(PreviewJob &job, Listener &listener, int channels)
{
    QTimer::singleShot(20000, &job, &PreviewJob::Cancel);
    job.Start();
    if (job.IsRunning())
        listener.loop.exec();
    return ReadRaw(mCapture, channels);
}

void tst_PreviewJob::playsWhatTheExportWrites_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("leftGains");
    QTest::addColumn<int>("leftLevel");
    QTest::addColumn<QString>("rightGains");
    QTest::addColumn<int>("rightLevel");
    QTest::addColumn<bool>("lowCut");
    QTest::addColumn<int>("bandwidth");
    // Started flat, the settings reach the player as changes once it plays.
    QTest::addColumn<bool>("asChanges");

    QTest::newRow("both, bands and levels") << 2 << "29:6,13:-6,48:12" << -8 << "29:-12" << -4 << false << 1 << false;
    QTest::newRow("both, low cut and bandwidth") << 2 << "1:12,56:-12,28:6" << -4 << "29:3" << 6 << true << 3 << false;
    QTest::newRow("left, half dB") << 0 << "29:3.5,48:-2.5,13:0.5" << -4 << "" << -4 << false << 2 << false;
    QTest::newRow("right, level") << 1 << "" << -4 << "29:-6,30:6" << -8 << false << 1 << false;
    QTest::newRow("both, as changes") << 2 << "1:12,56:-12,28:6,13:-3.5" << -8 << "29:3" << 6 << true << 3 << true;
    QTest::newRow("left, as changes") << 0 << "29:3.5,48:-12" << -8 << "" << -4 << true << 2 << true;
}

// Per tone, the captured sound is within 0.1 dB of the export's render.
void tst_PreviewJob::playsWhatTheExportWrites()
{
    QFETCH(int, channel);
    QFETCH(QString, leftGains);
    QFETCH(int, leftLevel);
    QFETCH(QString, rightGains);
    QFETCH(int, rightLevel);
    QFETCH(bool, lowCut);
    QFETCH(int, bandwidth);
    QFETCH(bool, asChanges);
    const ChannelSetup setups[] = {{leftGains, leftLevel}, {rightGains, rightLevel}};
    const QString wavs[] = {mPaths.LeftSourceWav, mPaths.RightSourceWav};

    PreviewRequest request;
    request.paths = mPaths;
    request.channel = channel;
    request.playerFolder = mApp->path();
    QList<int> played = channel == 2 ? QList<int>{0, 1} : QList<int>{channel};
    std::vector<ChannelResponse::Chain> chains;
    for (int c : played) {
        chains.push_back(ChainOf(setups[c], c, lowCut, bandwidth));
        request.chains.push_back(asChanges ? ChainOf({}, c, false, 1) : chains.back());
    }
    Listener listener;
    PreviewJob job(request);
    listener.Watch(job);
    if (asChanges)
        QTimer::singleShot(0, &job, [&] { job.SetChains(chains); });
    const Samples capture = Play(job, listener, int(played.size()));
    QCOMPARE(listener.failures, QStringList());
    QCOMPARE(listener.notes, QStringList());

    const qsizetype start = FirstSound(capture);
    QVERIFY2(capture.frames() - start > Rate * 2, qPrintable(QString::number(capture.frames())));
    for (int i = 0; i < played.size(); ++i) {
        const int c = played[i];
        const Samples exported = Decode(Render(wavs[c], setups[c], lowCut, bandwidth,
                                               mApp->scratchPath(QStringLiteral("out%1.wav").arg(c))),
                                        1, mApp->scratchPath(QStringLiteral("out%1.raw").arg(c)));
        for (int band : ToneBands) {
            const double hz = BandTable::FrequencyHz(band);
            const double heard = ToneDb(capture, i, start + Rate / 2, Rate, hz);
            const double written = ToneDb(exported, 0, FirstSound(exported) + Rate / 2, Rate, hz);
            if (heard < -90 && written < -90)
                continue;
            QVERIFY2(std::abs(heard - written) < 0.1,
                     qPrintable(QStringLiteral("channel %1 at %2 Hz: heard %3 dB, written %4 dB")
                                    .arg(c).arg(hz).arg(heard).arg(written)));
        }
    }
}

void tst_PreviewJob::changesWhilePlaying_data()
{
    QTest::addColumn<QString>("before"); // band:dB at the start
    QTest::addColumn<int>("bandwidthBefore");
    QTest::addColumn<QString>("after");  // empty: bypass instead
    QTest::addColumn<int>("levelAfter");
    QTest::addColumn<int>("bandwidthAfter");
    QTest::addColumn<double>("preGainAfter");

    QTest::newRow("band") << "" << 1 << "29:12" << -4 << 1 << 0.0;
    QTest::newRow("level") << "29:-3" << 1 << "29:-3" << -8 << 1 << 0.0;
    QTest::newRow("pre-gain") << "29:12" << 1 << "29:12" << -4 << 1 << -7.5;
    QTest::newRow("bandwidth") << "33:12" << 1 << "33:12" << -4 << 5 << 0.0;
    QTest::newRow("from 300 octaves, where 63 and 64 cannot act") << "29:12" << 300 << "29:-6" << -4 << 1 << 0.0;
    QTest::newRow("bypass, to the last sample") << "29:12" << 1 << "" << -4 << 1 << 0.0;
}

// The right channel's 1 kHz tone: a change is heard from the moment it is
// made, not before, within 150 ms and by as much as the chain says.
void tst_PreviewJob::changesWhilePlaying()
{
    QFETCH(QString, before);
    QFETCH(int, bandwidthBefore);
    QFETCH(QString, after);
    QFETCH(int, levelAfter);
    QFETCH(int, bandwidthAfter);
    QFETCH(double, preGainAfter);
    const bool bypass = after.isEmpty();
    const ChannelResponse::Chain first = ChainOf({before, -4}, 1, false, bandwidthBefore);
    ChannelResponse::Chain second = ChainOf({after, levelAfter}, 1, false, bandwidthAfter);
    second.preGainDb = preGainAfter;
    const double expectedDb = bypass ? -ChannelResponse::FiltersDb(first, 1000)
                                     : ChannelResponse::FiltersDb(second, 1000) + preGainAfter
            - ChannelResponse::FiltersDb(first, 1000) + 20 * std::log10(second.volume / first.volume);

    PreviewRequest request;
    request.paths = mPaths;
    request.channel = 1;
    request.playerFolder = mApp->path();
    request.chains = {first};
    Listener listener;
    PreviewJob job(request);
    listener.Watch(job);
    qint64 movedAtBytes = -1;
    bool tookChanges = false;
    listener.onPosition = [&](double seconds) {
        if (movedAtBytes >= 0 || seconds < 1.0)
            return;
        tookChanges = job.TakesChanges();
        movedAtBytes = QFileInfo(mCapture).size();
        bypass ? job.SetBypass(true) : job.SetChains({second});
    };
    const Samples capture = Play(job, listener, 1);
    QCOMPARE(listener.failures, QStringList());
    QCOMPARE(listener.notes, QStringList());
    QVERIFY(tookChanges);

    // Where the level moves, in blocks of 5 ms.
    const qsizetype moved = movedAtBytes / 2;
    const qsizetype block = Rate / 200;
    const double levelBefore = BlockDb(capture, 0, moved - Rate / 2, Rate / 2);
    qsizetype changedAt = -1;
    for (qsizetype at = moved - Rate / 2; at + block < capture.frames(); at += block) {
        if (std::abs(BlockDb(capture, 0, at, block) - levelBefore) > std::abs(expectedDb) / 2) {
            changedAt = at;
            break;
        }
    }
    const double levelAfterChange = BlockDb(capture, 0, changedAt + block, Rate / 2);
    const double latencyMs = 1000.0 * double(changedAt - moved) / Rate;
    qInfo("%s: %.2f dB before, %.2f dB after (%.2f expected), heard %.0f ms after the change",
          QTest::currentDataTag(), levelBefore, levelAfterChange, expectedDb, latencyMs);
    QVERIFY(changedAt >= moved - block);
    QVERIFY(latencyMs < 150);
    QVERIFY(std::abs(levelAfterChange - levelBefore - expectedDb) < 0.2);
    if (!bypass)
        return;
    // The bypassed sound is the source's, sample for sample to its last, and
    // the switch left no gap: the tone runs on without a silent block.
    const Samples source = Decode(mPaths.RightSourceWav, 1, mApp->scratchPath(QStringLiteral("source.raw")));
    const qsizetype offset = FirstSound(capture) - FirstSound(source);
    const qsizetype end = offset + source.frames();
    QVERIFY(capture.frames() >= end);
    qsizetype differing = 0;
    for (qsizetype i = changedAt + block; i < capture.frames() && i < end; ++i)
        differing += std::abs(capture.values[i] - source.values[i - offset]) > 1;
    QCOMPARE(differing, qsizetype(0));
    for (qsizetype at = FirstSound(capture); at + block < end; at += block)
        QVERIFY2(BlockDb(capture, 0, at, block) > -30, qPrintable(QString::number(at)));
}

void tst_PreviewJob::changesLeaveNoOffset_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bandwidth");
    for (int rate : {44100, 48000})
        for (int bandwidth : {1, 5, 30, 208, 300})
            QTest::addRow("%d Hz, %d octaves", rate, bandwidth) << rate << bandwidth;
}

// The top band that acts goes from +12 to +6 and back while a 1 kHz band
// moves too: what plays last has no offset the export of it lacks.
void tst_PreviewJob::changesLeaveNoOffset()
{
    QFETCH(int, rate);
    QFETCH(int, bandwidth);
    QVERIFY(AudioMeasure::Generate(
        QStringLiteral("aevalsrc=0.2*sin(2*PI*100*t)+0.2*sin(2*PI*1000*t):s=%1:d=4").arg(rate), mPaths.LeftSourceWav));
    const QString top = QString::number(BandTable::LastActingBand(rate, bandwidth));
    const ChannelSetup path[] = {{top + ":12,29:-6"}, {top + ":6,29:-6"}, {top + ":12,29:3"}};
    Listener listener;
    PreviewJob job({mPaths, 0, {ChainOf(path[0], 0, false, bandwidth, rate)}, mApp->path()});
    listener.Watch(job);
    int step = 0;
    listener.onPosition = [&](double seconds) {
        if (step < 2 && seconds >= 1.0 + step)
            job.SetChains({ChainOf(path[++step], 0, false, bandwidth, rate)});
    };
    const Samples heard = Play(job, listener, 1);
    QVERIFY(step == 2 && listener.failures.isEmpty() && heard.frames() - FirstSound(heard) >= rate);
    const Samples written = Decode(Render(mPaths.LeftSourceWav, path[2], false, bandwidth,
                                          mApp->scratchPath(QStringLiteral("out.wav")), rate),
                                   1, mApp->scratchPath(QStringLiteral("out.raw")));
    // At 0 Hz the windowed tone level is twice the mean: the offset.
    const auto offset = [](const Samples &s) {
        return std::pow(10, ToneDb(s, 0, FirstSound(s), s.frames() - FirstSound(s), 0) / 20) / 2;
    };
    QVERIFY2(offset(heard) <= offset(written) + 0.01, qPrintable(QString::number(offset(heard))));
}

QTEST_GUILESS_MAIN(tst_PreviewJob)
#include "tst_previewjob.moc"
