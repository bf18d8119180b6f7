// Imports with the real ffprobe and ffmpeg: what lands in SourceDuration,
// Left.wav and Right.wav for each kind of source, and how bad sources end.
#include "core/system/AppFolder.h"
#include "Controls.h"
#include "TakenSource.h"
#include "ui/FileDialogs.h"
#include "ui/mainwindow/MainWindow.h"
#include "session/Session.h"
#include "ui/ImportWindow.h"

#include "AudioMeasure.h"
#include "ImportFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {

const QList<double> Tones{300, 440, 500, 900, 1000};

bool MakeSource(const QString &kind, const QString &path)
{
    using namespace AudioMeasure;
    QDir().mkpath(QFileInfo(path).path());
    if (kind == QLatin1String("stereo"))
        return GenerateStereoTones(440, 1000, 3, path);
    if (kind == QLatin1String("mono"))
        return Generate(QStringLiteral("sine=f=440:d=3"), path);
    if (kind == QLatin1String("5.1")) {
        const QString graph = QStringLiteral(
            "sine=f=300:d=3[a];sine=f=500:d=3[b];sine=f=900:d=3[c];sine=f=1000:d=3[d];"
            "sine=f=440:d=3[e];sine=f=440:d=3[f];[a][b][c][d][e][f]amerge=inputs=6,"
            "aformat=channel_layouts=5.1");
        return RunTool(QStringLiteral("ffmpeg"), {QStringLiteral("-y"), QStringLiteral("-filter_complex"),
                                                  graph, path}).exitCode == 0;
    }
    if (kind == QLatin1String("video first")) {
        // Stream 0 is the video, the audio stream comes second.
        return RunTool(QStringLiteral("ffmpeg"),
                       {QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                        QStringLiteral("-i"), QStringLiteral("testsrc=d=3:s=160x120"),
                        QStringLiteral("-filter_complex"),
                        QStringLiteral("sine=f=300:d=3[l];sine=f=900:d=3[r];[l][r]amerge=inputs=2[s]"),
                        QStringLiteral("-map"), QStringLiteral("0:v"), QStringLiteral("-map"),
                        QStringLiteral("[s]"), QStringLiteral("-c:v"), QStringLiteral("mpeg4"), path})
                   .exitCode == 0;
    }
    if (kind == QLatin1String("video only"))
        return Generate(QStringLiteral("testsrc=d=2:s=160x120"), path,
                        {QStringLiteral("-c:v"), QStringLiteral("mpeg4")});
    if (kind == QLatin1String("text")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("These are words, not sound.\n") > 0;
    }
    if (kind == QLatin1String("empty")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    }
    return false;
}

// The main window's equalizer state, as the preview and the export see it.
QStringList EqualizerSnapshot(MainWindow *form)
{
    const Session &shared = form->session();
    QStringList state{shared.FilterChain(0), shared.FilterChain(1),
                      Control<QPlainTextEdit>(form, "Text2")->toPlainText(), Control<QPlainTextEdit>(form, "Text3")->toPlainText()};
    for (int band = 0; band < BandTable::BandCount; ++band)
        state << shared.State().LeftBandGain[band] << shared.State().RightBandGain[band];
    return state;
}

} // namespace

class TestImportPipeline : public QObject
{
    Q_OBJECT

private slots:
    void sources_data();
    void sources();
    void secondImportReplacesTheChannelFiles();
    void badSources_data();
    void badSources();
};

void TestImportPipeline::sources_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("appFolderName");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<double>("leftHz");
    QTest::addColumn<double>("rightHz");

    QTest::newRow("stereo WAV") << "stereo" << "app" << "song.wav" << 440.0 << 1000.0;
    QTest::newRow("MP3") << "stereo" << "app" << "song.mp3" << 440.0 << 1000.0;
    QTest::newRow("MP4, video first") << "video first" << "app" << "clip.mp4" << 300.0 << 900.0;
    QTest::newRow("mono WAV: its channel twice") << "mono" << "app" << "mono.wav" << 440.0 << 440.0;
    QTest::newRow("5.1: front left and right") << "5.1" << "app" << "surround.wav" << 300.0 << 500.0;
    QTest::newRow("awkward paths")
        << "stereo" << QStringLiteral("Br\u00e9nvox \"eq\" \\ 1")
        << QStringLiteral("My \"Best\" Song \\ Gr\u00fc\u00dfe/n\u00e4me '1'.wav") << 440.0 << 1000.0;
}

void TestImportPipeline::sources()
{
    QFETCH(QString, kind);
    QFETCH(QString, appFolderName);
    QFETCH(QString, fileName);
    QFETCH(double, leftHz);
    QFETCH(double, rightHz);

    ImportFixture fixture(appFolderName);
    QVERIFY(fixture.isValid());
    const QString source = fixture.app.scratchPath(fileName);
    QVERIFY(MakeSource(kind, source));
    TakeSource(fixture.session, [](Session::Source &s) { s.duration = QStringLiteral("999"); });

    QVERIFY(fixture.Open(source));
    QCOMPARE(Control<QLineEdit>(fixture.form, "Text1")->text(), QFileInfo(source).absoluteFilePath());
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Completed);

    QCOMPARE(fixture.session.SourceDuration(), QStringLiteral("3"));
    const QString left = fixture.session.LeftSourceWav();
    const QString right = fixture.session.RightSourceWav();
    QCOMPARE(left, WorkspaceFile(QStringLiteral("Left.wav")));
    QCOMPARE(right, WorkspaceFile(QStringLiteral("Right.wav")));
    for (const QString &channelFile : {left, right}) {
        QCOMPARE(AudioMeasure::Channels(channelFile), 1);
        QVERIFY(qAbs(AudioMeasure::DurationSeconds(channelFile) - 3.0) < 0.1);
    }
    QCOMPARE(AudioMeasure::DominantOf(left, 0, Tones), leftHz);
    QCOMPARE(AudioMeasure::DominantOf(right, 0, Tones), rightHz);
}

void TestImportPipeline::secondImportReplacesTheChannelFiles()
{
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    const QString first = fixture.app.scratchPath(QStringLiteral("first.wav"));
    const QString second = fixture.app.scratchPath(QStringLiteral("second.mp3"));
    QVERIFY(AudioMeasure::GenerateStereoTones(440, 1000, 3, first));
    QVERIFY(AudioMeasure::GenerateStereoTones(300, 900, 5, second));

    QVERIFY(fixture.Open(first));
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Completed);
    QVERIFY(fixture.Open(second));
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Completed);

    QCOMPARE(fixture.session.SourceDuration(), QStringLiteral("5"));
    QCOMPARE(AudioMeasure::DominantOf(fixture.session.LeftSourceWav(), 0, Tones), 300.0);
    QCOMPARE(AudioMeasure::DominantOf(fixture.session.RightSourceWav(), 0, Tones), 900.0);
    QVERIFY(qAbs(AudioMeasure::DurationSeconds(fixture.session.LeftSourceWav()) - 5.0) < 0.1);
}

void TestImportPipeline::badSources_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("missingTool");
    QTest::addColumn<bool>("deleteAfterChoice");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("reason"); // <app>: the application folder; <source>: the chosen file

    QTest::newRow("text file named song.mp3")
        << "text" << "song.mp3" << "" << false << "Searching Failed"
        << "The chosen file is a text file, not audio or video";
    QTest::newRow("empty file")
        << "empty" << "song.wav" << "" << false << "Searching Failed" << "The chosen file is empty: <source>";
    QTest::newRow("video without audio")
        << "video only" << "clip.mp4" << "" << false << "Searching Failed"
        << "The chosen file holds no audio stream";
    QTest::newRow("deleted right after it was chosen")
        << "stereo" << "song.wav" << "" << true << "Searching Failed"
        << "The chosen file cannot be found";
    QTest::newRow("missing ffprobe")
        << "stereo" << "song.wav" << "ffprobe" << false << "Searching Failed"
        << "Cannot run <app>/ffprobe";
    QTest::newRow("missing ffmpeg")
        << "stereo" << "song.wav" << "ffmpeg" << false << "Extracting Chanel Data Failed"
        << "Cannot run <app>/ffmpeg";
}

void TestImportPipeline::badSources()
{
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    QFETCH(QString, missingTool);
    QFETCH(bool, deleteAfterChoice);
    QFETCH(QString, heading);
    QFETCH(QString, reason);

    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    // What an earlier import left stays open: no fact of the bad source's replaces it.
    TakeSource(fixture.session, [](Session::Source &s) { s.duration = QStringLiteral("999"); });
    for (const QString &channelFile : {fixture.session.LeftSourceWav(), fixture.session.RightSourceWav()})
        QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=440:d=1"), channelFile));

    SetByUser(Control<QSlider>(fixture.form, "LeftChanelSlider", 10), -5);
    const QStringList equalizerBefore = EqualizerSnapshot(fixture.form);

    const QString source = fixture.app.scratchPath(fileName);
    QVERIFY(MakeSource(kind, source));
    if (!missingTool.isEmpty())
        fixture.app.removeTool(missingTool);
    if (deleteAfterChoice) {
        SetFileDialogAnswer([&](const FileDialogRequest &) {
            QFile::remove(source);
            return source;
        });
    }

    ImportWindow *window = fixture.Open(source);
    QVERIFY(window);
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Failed);
    QCOMPARE(window->Label2[0]->text(), heading);
    QCOMPARE(window->Label2[1]->text(),
             QString(reason).replace(QLatin1String("<app>"), fixture.app.path()).replace(QLatin1String("<source>"), source));
    // The import has ended: another source may be chosen.
    QVERIFY(Control<QPushButton>(fixture.form, "Command2")->isEnabled());

    // It stays, without claiming success, until the user closes it.
    QTest::qWait(2300);
    QVERIFY(fixture.importWindow);
    QVERIFY(window->isVisible());
    QVERIFY(!window->PBar->isVisible());
    QCOMPARE(fixture.closedAt, -1);

    QCOMPARE(EqualizerSnapshot(fixture.form), equalizerBefore);
    QCOMPARE(fixture.session.SourceDuration(), QStringLiteral("999"));
    QVERIFY(fixture.session.SourceImported());

    window->Command1->click();
    QTRY_VERIFY(!fixture.importWindow);
}

QTEST_MAIN(TestImportPipeline)
#include "tst_importpipeline.moc"
