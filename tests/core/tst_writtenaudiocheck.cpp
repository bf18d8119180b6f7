// The export's check of the written file, on real ffprobe output.
#include "TestAppFolder.h"

#include "core/tools/WrittenAudioCheck.h"

#include <QFile>
#include <QtTest>

using namespace WrittenAudioCheck;

class tst_WrittenAudioCheck : public QObject
{
    Q_OBJECT

private slots:
    void check_data();
    void check();
    void mergedSound_data();
    void mergedSound();
};

void tst_WrittenAudioCheck::check_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("problem"); // against a 5 s source

    QTest::newRow("stereo WAV") << "ffprobe51_check_wav.txt" << "";
    QTest::newRow("MP3, 0.04 s of encoder padding") << "ffprobe51_check_mp3.txt" << "";
    QTest::newRow("mono") << "ffprobe51_check_mono_wav.txt" << "the written file holds 1 audio channel instead of 2.";
    QTest::newRow("cut short") << "ffprobe51_check_truncated_wav.txt" << "the written file lasts 1.70 s instead of 5.00 s.";
    QTest::newRow("no duration") << "ffprobe51_check_piped_mka.txt" << "the duration of the written file could not be read.";
    QTest::newRow("not audio") << "ffprobe51_check_not_audio.txt" << "the written file holds 0 audio channels instead of 2.";
}

void tst_WrittenAudioCheck::check()
{
    QFETCH(QString, file);
    QFETCH(QString, problem);

    QFile captured(TestAppFolder::testDataFolder() + QLatin1Char('/') + file);
    QVERIFY2(captured.open(QIODevice::ReadOnly), qPrintable(file));
    const ProbedAudio written = ParseProbedAudio(QString::fromLatin1(captured.readAll()));
    const ProbedAudio source = ParseProbedAudio(QStringLiteral("channels=1\nduration=5.000000\n"));
    QCOMPARE(WrittenFileProblem(written, source), problem);
}

void tst_WrittenAudioCheck::mergedSound_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("sound");
    QTest::newRow("600 s merged") << "ffmpeg51_join_600s.txt" << true;
    QTest::newRow("a 20 kHz element at 208 octaves, 44.1 kHz") << "ffmpeg51_merge_nan.txt" << false;
}

void tst_WrittenAudioCheck::mergedSound()
{
    QFETCH(QString, file);
    QFETCH(bool, sound);
    const QByteArray output = TestAppFolder::fileBytes(TestAppFolder::testDataFolder() + '/' + file);
    QCOMPARE(MergedSoundProblem(QString::fromLatin1(output)).startsWith("the written audio is not sound: "), !sound);
}

QTEST_GUILESS_MAIN(tst_WrittenAudioCheck)
#include "tst_writtenaudiocheck.moc"
