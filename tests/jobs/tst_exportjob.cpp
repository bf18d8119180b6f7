// The export job without windows: both renders at once write what one after
// the other wrote, and Cancel leaves neither a tool nor a file behind.
#include "AudioMeasure.h"
#include "TestAppFolder.h"
#include "../core/PresetTestData.h"

#include "core/equalizer/ChainText.h"
#include "core/equalizer/ChannelChain.h"
#include "core/tools/WrittenAudioCheck.h"
#include "core/tools/ToolOutputFacts.h"
#include "jobs/ExportJob.h"
#include "jobs/ImportJob.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <limits>

namespace {

struct Recorder
{
    QStringList rows;
    QString failure;
    int ended = 0;
    bool completed = false;
    double peakDb = std::numeric_limits<double>::quiet_NaN();

    void Watch(ExportJob &job)
    {
        const auto row = [this](const char *what) {
            return [this, what](int row) { rows << QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(row); };
        };
        QObject::connect(&job, &ExportJob::rowStarted, row("started"));
        QObject::connect(&job, &ExportJob::rowCompleted, row("completed"));
        QObject::connect(&job, &ExportJob::rowStopped, row("stopped"));
        QObject::connect(&job, &ExportJob::rowFailed, [this](int, const QString &said) { failure = said; });
        QObject::connect(&job, &ExportJob::writtenPeakMeasured, [this](double peak) { peakDb = peak; });
        QObject::connect(&job, &ExportJob::ended, [this](bool done) { ++ended; completed = done; });
    }
};

// Runs an export to its end; false when it did not complete in time or failed.
bool Exported(const ExportRequest &request, Recorder *recorder)
{
    ExportJob job(request);
    recorder->Watch(job);
    job.SaveChanels();
    return QTest::qWaitFor([recorder] { return recorder->ended > 0; }, 60000) && recorder->completed;
}

// The window's chain at 44.1 kHz with 1 kHz at -12 dB, 19.4 and 20 kHz at +3, which
// act up to 299 and 207 octaves: this wide, each band lifts the whole range by its gain.
QString WideChain(int bandwidth)
{
    EqualizerSettings settings;
    settings.bandwidth = bandwidth;
    settings.channels[0].gains[29] = -12;
    settings.channels[0].gains[63] = settings.channels[0].gains[64] = 3;
    return ChainText::Render(ChannelChain::FromSettings(settings, 0, 44100), true);
}

QVector<qint32> DecodedSamples(const QString &file, const QStringList &options = {})
{
    const QString raw = file + QLatin1String(".raw");
    AudioMeasure::RunTool(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-y", "-i", file} + options + QStringList{"-f", "s32le", raw});
    const QByteArray bytes = TestAppFolder::fileBytes(raw);
    QVector<qint32> samples(bytes.size() / 4);
    std::memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * 4);
    return samples;
}

} // namespace

class tst_ExportJob : public QObject
{
    Q_OBJECT

private slots:
    void channelFilesEqualSource_data();
    void channelFilesEqualSource();
    void cancelDuringTheRenders();
    void sourceToWrittenFile_data();
    void sourceToWrittenFile();
    void identityElementsLeftOut_data();
    void identityElementsLeftOut();
    void everyFormatSaves_data();
    void everyFormatSaves();

private:
    ExportRequest Request(const TestAppFolder &app, const QString &name) const
    {
        ExportRequest request;
        request.paths = JobPaths::InFolder(app.scratchPath(QStringLiteral("work")));
        request.leftVolume = 1;
        request.rightVolume = 2;
        request.leftChain = QStringLiteral("equalizer=f=1000:width_type=o:width=1:g=-12");
        request.rightChain = QStringLiteral("equalizer=f=120:width_type=o:width=1:g=6");
        request.target = app.scratchPath(name);
        request.temporaryOutput = OutputReplacement::TemporaryOutput::Create(request.target);
        request.encoderFolder = app.path();
        request.proberFolder = app.path();
        return request;
    }

    // The source's channels split into the request's channel files as the
    // import does.
    bool Import(const TestAppFolder &app, const ExportRequest &request, const QString &graph, const QString &codec,
                ImportFacts &imported) const
    {
        const QString source = app.scratchPath(QStringLiteral("source.wav"));
        if (!QDir().mkpath(app.scratchPath(QStringLiteral("work")))
            || !AudioMeasure::Generate(graph, source, {QStringLiteral("-c:a"), codec}))
            return false;
        ImportJob import({source, request.paths.LeftSourceWav, request.paths.RightSourceWav, app.path(), app.path()});
        QSignalSpy ended(&import, &ImportJob::ended);
        import.Start();
        if (!QTest::qWaitFor([&] { return ended.size() == 1; }, 30000) || !ended.at(0).at(0).toBool())
            return false;
        imported = import.Facts();
        return true;
    }
};

void tst_ExportJob::channelFilesEqualSource_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("wav") << "Mix.wav";
    QTest::newRow("flac") << "Mix.flac";
}

void tst_ExportJob::channelFilesEqualSource()
{
    QFETCH(QString, name);
    TestAppFolder app;
    QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
    QVERIFY(QDir().mkpath(app.scratchPath(QStringLiteral("work"))));
    const JobPaths paths = JobPaths::InFolder(app.scratchPath(QStringLiteral("work")));
    QVERIFY(AudioMeasure::Generate(QStringLiteral("anoisesrc=d=4:c=pink:seed=7"), paths.LeftSourceWav));
    QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=440:d=4:r=48000"), paths.RightSourceWav));
    const QString source = app.scratchPath(QStringLiteral("source.wav")); // both in one file
    QVERIFY(AudioMeasure::Generate("anoisesrc=d=4:c=pink:seed=7[a];sine=f=440:d=4:r=48000[b];[a][b]amerge[out0]", source));

    QByteArray written[2];
    for (int mode : {0, 1}) { // from the channel files, from the source
        ExportRequest request = Request(app, name);
        request.reads = mode == 1 ? ExportReads::Source : ExportReads::ChannelFiles;
        request.sourceFile = source;
        Recorder recorder;
        ExportJob job(request);
        recorder.Watch(job);
        job.SaveChanels();
        QTRY_COMPARE_WITH_TIMEOUT(recorder.ended, 1, 60000);
        QVERIFY2(recorder.completed, qPrintable(recorder.failure));
        written[mode] = TestAppFolder::fileBytes(request.target);
        QVERIFY(QFile::remove(request.target));
        QVERIFY(!QFile::exists(request.temporaryOutput->File()));
    }
    QVERIFY(written[0].size() > 100000);
    QVERIFY(written[0] == written[1]);
}

// Both renders and the merge they stream into hang; Cancel stops all
// three, and neither the hidden file nor the target is left.
void tst_ExportJob::cancelDuringTheRenders()
{
    TestAppFolder app;
    QVERIFY(app.writeTool(QStringLiteral("ffmpeg"),
                          "#!/bin/sh\necho $$ >> \"$0.pids\"\nexec sleep 30\n"));
    QVERIFY(app.linkRealTool(QStringLiteral("ffprobe")));
    const ExportRequest request = Request(app, QStringLiteral("Mix.wav"));
    Recorder recorder;
    ExportJob job(request);
    recorder.Watch(job);
    job.SaveChanels();
    QCOMPARE(recorder.rows, (QStringList{"started 0", "started 1"}));
    const QString pidFile = app.path() + QLatin1String("/ffmpeg.pids");
    QTRY_COMPARE(TestAppFolder::fileBytes(pidFile).count('\n'), 3);
    job.Cancel();
    QTRY_COMPARE(recorder.ended, 1);

    QVERIFY(!recorder.completed);
    QVERIFY(!job.IsRunning());
    QCOMPARE(recorder.rows, (QStringList{"started 0", "started 1"}));
    for (const QByteArray &pid : TestAppFolder::fileBytes(pidFile).trimmed().split('\n'))
        QVERIFY(::kill(pid.toInt(), 0) != 0);
    QCOMPARE(QDir(app.scratchPath(QString())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QVERIFY(!QFile::exists(request.target));
}

// A source imported and exported as the window does: the import measures
// its peak and splits it into float files, the written file keeps a depth
// above 16 bits, a source above full scale survives until a cut brings it
// down, and the written peak tells whether the file clipped.
void tst_ExportJob::sourceToWrittenFile_data()
{
    QTest::addColumn<QString>("codec");
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("level");
    QTest::addColumn<QString>("chain");
    QTest::addColumn<double>("gainDb"); // the chain's at the tone's 1 kHz
    QTest::addColumn<int>("bits");
    QTest::addColumn<bool>("clipped");

    const QString flat = QStringLiteral("anull");
    const QString cut = QStringLiteral("equalizer=f=1000:width_type=o:width=1:g=-12");
    QTest::newRow("24-bit at -1 dBFS to WAV") << "pcm_s24le" << 0.891251 << "Mix.wav" << 1.0 << flat << 0.0 << 24
                                              << false;
    QTest::newRow("24-bit to FLAC") << "pcm_s24le" << 0.5 << "Mix.flac" << 1.0 << flat << 0.0 << 24 << false;
    QTest::newRow("16-bit to WAV") << "pcm_s16le" << 0.5 << "Mix.wav" << 1.0 << flat << 0.0 << 16 << false;
    QTest::newRow("16-bit at -20 dBFS to FLAC") << "pcm_s16le" << 0.1 << "Mix.flac" << 1.0 << flat << 0.0 << 16
                                                << false;
    // -5.5 dBFS boosted by 12 dB before it came here, then cut by 12 dB:
    // a 16-bit split would have clipped it on the way.
    QTest::newRow("+12 dB source, -12 dB here") << "pcm_f32le" << 2.113489 << "Mix.wav" << 1.0 << cut << -12.0
                                                << 32 << false;
    QTest::newRow("+12 dB then -12 dB in one chain")
        << "pcm_s16le" << 0.530884 << "Mix.wav" << 1.0
        << "equalizer=f=1000:width_type=o:width=1:g=12," + cut << 0.0 << 16 << false;
    // Levels between the whole factors reach the renders as they are.
    QTest::newRow("level 1.5") << "pcm_s16le" << 0.25 << "Mix.wav" << 1.5 << flat << 0.0 << 16 << false;
    QTest::newRow("level 0.75 with a cut") << "pcm_s16le" << 0.5 << "Mix.wav" << 0.75 << cut << -12.0 << 16 << false;
    QTest::newRow("level 2 clips") << "pcm_s16le" << 0.8 << "Mix.wav" << 2.0 << flat << 0.0 << 16 << true;
    for (const auto &[w, db] : {std::pair{207, -6.0}, {208, -9.0}, {300, -12.0}})
        QTest::addRow("%d octaves", w) << "pcm_s16le" << 0.5 << "Mix.wav" << 1.0 << WideChain(w) << db << 16 << false;
}

void tst_ExportJob::sourceToWrittenFile()
{
    QFETCH(QString, codec);
    QFETCH(double, amplitude);
    QFETCH(QString, name);
    QFETCH(double, level);
    QFETCH(QString, chain);
    QFETCH(double, gainDb);
    QFETCH(int, bits);
    QFETCH(bool, clipped);

    TestAppFolder app;
    QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
    QVERIFY(QDir().mkpath(app.scratchPath(QStringLiteral("work"))));
    ExportRequest request = Request(app, name);
    // Faded in: a cut's filter lets a sudden start through at first.
    const QString tone = QStringLiteral("%1*(1-exp(-20*t))*sin(2*PI*1000*t)").arg(amplitude);
    ImportFacts imported;
    QVERIFY(Import(app, request, QStringLiteral("aevalsrc=%1|%1:d=2").arg(tone), codec, imported));
    QVERIFY2(std::abs(imported.peakDb - 20 * std::log10(amplitude)) < 0.1, qPrintable(QString::number(imported.peakDb)));
    QCOMPARE(AudioMeasure::CodecName(request.paths.RightSourceWav), QStringLiteral("pcm_f32le"));

    request.leftVolume = request.rightVolume = level;
    request.leftChain = request.rightChain = chain;
    request.sourceBitsPerSample = imported.bitsPerSample;
    Recorder recorder;
    QVERIFY2(Exported(request, &recorder), qPrintable(recorder.failure));

    const QString probed = AudioMeasure::RunTool(QStringLiteral("ffprobe"), {request.target}).output;
    QCOMPARE(ToolOutputFacts::AudioBitsPerSample(probed.split(QLatin1Char('\n'))), bits);
    QCOMPARE(WrittenAudioCheck::SavedPeakText(recorder.peakDb).contains(QLatin1String("clipped")), clipped);
    const double peakDb = 20 * std::log10(amplitude * level) + gainDb;
    QVERIFY2(std::abs(recorder.peakDb - peakDb) < 0.1, qPrintable(QString::number(recorder.peakDb)));
    // A sine's mean level is 3 dB under its peak; the fade-in is over.
    const double meanDb = AudioMeasure::MeanVolumeDb(request.target, 0, QStringLiteral("atrim=start=0.5"));
    QVERIFY2(clipped || std::abs(meanDb - (peakDb - 3.01)) < 0.1, qPrintable(QString::number(meanDb)));
}

// The tools are handed the chains without their elements at 0 dB: the file
// written is the one the whole chains write, byte for byte at 16 bits and
// within one step of the last bit at 24.
void tst_ExportJob::identityElementsLeftOut_data()
{
    QTest::addColumn<QString>("codec"); // of the source
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("bands"); // band:dB on both channels; "all": every band moved
    QTest::addColumn<QString>("options");

    const QString few = QStringLiteral("5:3,12:-4,29:-12,40:6,50:2,60:-5");
    QTest::newRow("WAV 16-bit, a few bands") << "pcm_s16le" << "Mix.wav" << few << "";
    QTest::newRow("WAV 24-bit, a few bands") << "pcm_s24le" << "Mix.wav" << few << "";
    QTest::newRow("FLAC 16-bit, every band") << "pcm_s16le" << "Mix.flac" << "all" << "";
    QTest::newRow("FLAC 24-bit, low cut") << "pcm_s24le" << "Mix.flac" << few << "low cut";
    QTest::newRow("WAV 24-bit, every band, low cut") << "pcm_s24le" << "Mix.wav" << "all" << "low cut";
    QTest::newRow("WAV 16-bit, as drawn") << "pcm_s16le" << "Mix.wav" << "20:2,21:4,22:6,23:4,24:2" << "as drawn";
    // Moved back to 0, a band reads "-0".
    QTest::newRow("FLAC 16-bit, -0 bands") << "pcm_s16le" << "Mix.flac" << "5:0,12:0,29:-12,40:0" << "";
    QTest::newRow("WAV 24-bit, as drawn") << "pcm_s24le" << "Mix.wav" << "20:2,21:4,22:6,23:4,24:2" << "as drawn";
}

void tst_ExportJob::identityElementsLeftOut()
{
    QFETCH(QString, codec);
    QFETCH(QString, name);
    QFETCH(QString, bands);
    QFETCH(QString, options);
    EqualizerSettings settings;
    settings.lowCut = options.contains(QLatin1String("low cut"));
    settings.asDrawn = options.contains(QLatin1String("as drawn"));
    for (ChannelSettings &channel : settings.channels) {
        for (int band = 0; bands == QLatin1String("all") && band < EqualizerSettings::BandCount; ++band)
            channel.gains[band] = band % 7 - 3, channel.moved[band] = true;
        for (const QString &pair : bands.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const int band = pair.section(QLatin1Char(':'), 0, 0).toInt();
            channel.gains[band] = pair.section(QLatin1Char(':'), 1).toInt();
            channel.moved[band] = true;
        }
    }
    const QStringList chains = Chains(settings, 44100);
    const QStringList toolChains = Chains(settings, 44100, qQNaN(), false);

    TestAppFolder app;
    QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
    ImportFacts imported;
    QVERIFY(Import(app, Request(app, name), QStringLiteral("anoisesrc=d=3:c=pink:seed=3:a=0.3,aformat=channel_layouts=stereo"),
                   codec, imported));
    QVector<qint32> written[2];
    for (bool whole : {true, false}) {
        ExportRequest request = Request(app, name);
        request.leftVolume = request.rightVolume = 1;
        request.leftChain = (whole ? chains : toolChains)[0];
        request.rightChain = (whole ? chains : toolChains)[1];
        request.sourceBitsPerSample = imported.bitsPerSample;
        Recorder recorder;
        QVERIFY2(Exported(request, &recorder), qPrintable(recorder.failure));
        written[whole] = DecodedSamples(request.target);
        QVERIFY(QFile::remove(request.target));
    }
    QVERIFY(written[0].size() == written[1].size() && written[0].size() > 200000);
    qint64 largest = 0;
    for (qsizetype i = 0; i < written[0].size(); ++i)
        largest = std::max(largest, std::abs(qint64(written[0][i]) - written[1][i]));
    // Decoded to 32 bits: one step of a 24-bit file's last bit is 256.
    QVERIFY2(largest <= (imported.bitsPerSample == 16 ? 0 : 256), qPrintable(QString::number(largest)));
}

// Every extension ffmpeg writes audio to saves the whole source; ffprobe reads this 3 s ADTS file as about 10 s.
void tst_ExportJob::everyFormatSaves_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Mix.wav", "Mix.flac", "Mix.mp3", "Mix.ogg", "Mix.opus", "Mix.m4a", "Mix.aac", "Mix.ac3",
                             "Mix.wma", "Mix.aiff", "Mix.caf", "Mix.mka", "Mix.w64", "Mix.au", "Mix.mp2"})
        QTest::newRow(name) << name;
}

void tst_ExportJob::everyFormatSaves()
{
    QFETCH(QString, name);
    TestAppFolder app;
    QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
    ExportRequest request = Request(app, name);
    ImportFacts imported;
    QVERIFY(Import(app, request, "anoisesrc=d=3:a=0.3,volume='gte(t,1)':eval=frame,aformat=channel_layouts=stereo", "pcm_s16le", imported));
    Recorder recorder;
    QVERIFY2(Exported(request, &recorder), qPrintable(recorder.failure));
    const double seconds = DecodedSamples(request.target, {"-ac", "2", "-ar", "48000"}).size() / 96000.0;
    QVERIFY2(AudioMeasure::Channels(request.target) == 2 && std::abs(seconds - 3) < 0.1, qPrintable(QString::number(seconds)));
}

QTEST_GUILESS_MAIN(tst_ExportJob)
#include "tst_exportjob.moc"
