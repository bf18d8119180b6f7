// One session as a user has it, through the windows only, with the real
// ffmpeg and ffprobe: open an MP3, equalize, preview both channels, save as
// WAV and MP3, reset, open a video, save again. Every written file is probed
// and its levels measured. The steps run in order on one session.
#include "BrenvoxSession.h"
#include "Controls.h"
#include "MainWindowState.h"

#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"
#include "ui/ImportWindow.h"
#include "ui/PreviewWindow.h"
#include "core/tools/PreviewGraph.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

using namespace AudioMeasure;

// Left 250 Hz and 1 kHz, right 1 kHz and 4 kHz: the shared 1 kHz tells
// whether a band reaches the other channel.
const QString Mp3Tones = QStringLiteral(
    "aevalsrc=exprs=0.1*sin(2*PI*250*t)+0.1*sin(2*PI*1000*t)"
    "|0.1*sin(2*PI*1000*t)+0.1*sin(2*PI*4000*t):s=44100:d=4");
const QString VideoTones = QStringLiteral(
    "aevalsrc=exprs=0.1*sin(2*PI*500*t)|0.1*sin(2*PI*2000*t):s=44100:d=3");

constexpr int Band250Hz = 18;
constexpr int Band1kHz = 29;

double LevelNear(const QString &path, int channel, double hz)
{
    return MeanVolumeDb(path, channel, QStringLiteral("bandpass=f=%1:width_type=q:w=8").arg(hz));
}

void PressKey(QWidget *widget, Qt::Key key, int times)
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(widget, key);
}

QStringList Statuses(const ExportWindow *form)
{
    return {Control<QLabel>(form, "Label1", 6)->text(), Control<QLabel>(form, "Label1", 7)->text(), Control<QLabel>(form, "Label1", 8)->text()};
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void startUp();
    void openStereoMp3();
    void equalize();
    void previewBothChannels();
    void saveAs_data();
    void saveAs();
    void resetRestoresStartUp();
    void openVideoFirstMp4();
    void saveVideoSound();
    void closeMainWindow();

private:
    // Clicks "Open" with the dialog answering 'path' and waits for the
    // import to end; true when it completed.
    bool Open(const QString &path);
    // Clicks "Save As" with the dialog answering 'path' and waits for the
    // export to end.
    QPointer<ExportWindow> SaveAs(const QString &path);
    // The change each band and level made to a tone, from source to output.
    void CheckEqualized(const QString &output);

    QTemporaryDir mSources;
    QString mMp3;
    QString mMp4;
    QString mAnswer;
    std::unique_ptr<BrenvoxSession> mSession;
    MainWindowState mStartUp;
};

void tst_EndToEnd::initTestCase()
{
    QVERIFY(mSources.isValid());
    mMp3 = mSources.filePath(QStringLiteral("Two Tones.mp3"));
    mMp4 = mSources.filePath(QStringLiteral("Clip.mp4"));
    QVERIFY(Generate(Mp3Tones, mMp3, {QStringLiteral("-b:a"), QStringLiteral("192k")}));
    // The video is the first stream; the sound comes second.
    QCOMPARE(RunTool(QStringLiteral("ffmpeg"),
                     {QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                      QStringLiteral("-i"), QStringLiteral("testsrc=size=64x64:rate=5:d=3"),
                      QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), VideoTones,
                      QStringLiteral("-map"), QStringLiteral("0:v"), QStringLiteral("-map"),
                      QStringLiteral("1:a"), QStringLiteral("-shortest"), QStringLiteral("-c:v"),
                      QStringLiteral("mpeg4"), mMp4})
                 .exitCode, 0);
    SetFileDialogAnswer([this](const FileDialogRequest &) { return mAnswer; });
}

void tst_EndToEnd::cleanupTestCase()
{
    mSession.reset();
    SetFileDialogAnswer(FileDialogAnswer());
}

// Every step goes on from where the one before left the session.
void tst_EndToEnd::init()
{
    if (qstrcmp(QTest::currentTestFunction(), "startUp") != 0)
        QVERIFY2(mSession && mSession->form, "the steps run in order, from startUp");
}

bool tst_EndToEnd::Open(const QString &path)
{
    MainWindow *form = mSession->form;
    mAnswer = path;
    QTest::mouseClick(Control<QPushButton>(form, "Command2"), Qt::LeftButton);
    QPointer<ImportWindow> window = OpenWindow<ImportWindow>();
    if (!window || !window->isVisible())
        return false;
    QString lastStatus;
    QElapsedTimer waited;
    waited.start();
    while (window && window->isVisible() && !window->Failed() && waited.elapsed() < 60000) {
        lastStatus = window->Label2[0]->text();
        QTest::qWait(10);
    }
    // Timer2 shows "Completed." and closes the window in one step.
    return (!window || !window->isVisible())
        && lastStatus == QLatin1String("Extracting Chanel Data Complete");
}

QPointer<ExportWindow> tst_EndToEnd::SaveAs(const QString &path)
{
    mAnswer = path;
    QTest::mouseClick(Control<QPushButton>(mSession->form, "Command1", 1), Qt::LeftButton);
    QPointer<ExportWindow> window = OpenWindow<ExportWindow>();
    if (!window)
        return window;
    QElapsedTimer waited;
    waited.start();
    while (window && Statuses(window) != QStringList{"Completed", "Completed", "Completed"}
           && window->Label2->text().isEmpty() && waited.elapsed() < 60000)
        QTest::qWait(10);
    return window;
}

void tst_EndToEnd::startUp()
{
    mSession = std::make_unique<BrenvoxSession>(QStringLiteral("Brenvox app"));
    MainWindow *form = mSession->form;
    QVERIFY(form);
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("Brenvox"));
    QCOMPARE(Controls<QSlider>(form, "LeftChanelSlider").size(), BandTable::BandCount);
    // Nothing to preview or save before a source is opened.
    QCOMPARE((QList<bool>{Control<QPushButton>(form, "Command2")->isEnabled(), Control<QPushButton>(form, "Command1", 0)->isEnabled(),
                          Control<QPushButton>(form, "Command1", 1)->isEnabled(), Control<QPushButton>(form, "Command1", 2)->isEnabled()}),
             (QList<bool>{true, false, false, true}));
    QVERIFY(QFileInfo(mSession->workspace()).isDir());
    mStartUp = MainWindowState::Of(form);
}

void tst_EndToEnd::openStereoMp3()
{
    QVERIFY(Open(mMp3));
    QCOMPARE(Control<QLineEdit>(mSession->form, "Text1")->text(), mMp3);
    QCOMPARE(mSession->session.SourceFile(), mMp3);
    QCOMPARE(mSession->session.SourceDuration(), QStringLiteral("4"));
    // Two tones of 0.1 at most add up to 0.2 (-14 dBFS); an MP3 has no depth.
    QVERIFY2(mSession->session.SourcePeakDb() > -16 && mSession->session.SourcePeakDb() < -13.5, qPrintable(QString::number(mSession->session.SourcePeakDb())));
    QCOMPARE(mSession->session.SourceBitsPerSample(), 0);
    QVERIFY(!OpenWindow<ImportWindow>());
    for (QPushButton *button : {Control<QPushButton>(mSession->form, "Command2"), Control<QPushButton>(mSession->form, "Command1", 0), Control<QPushButton>(mSession->form, "Command1", 1)})
        QVERIFY(button->isEnabled());
}

// Moves as a user makes them: keys on the focused slider (up raises the
// handle), then a click on a choice.
void tst_EndToEnd::equalize()
{
    MainWindow *form = mSession->form;
    PressKey(Control<QSlider>(form, "LeftChanelSlider", Band250Hz), Qt::Key_Up, 6);
    PressKey(Control<QSlider>(form, "RightChanelSlider", Band1kHz), Qt::Key_Down, 12);
    PressKey(Control<QSlider>(form, "Slider1", 0), Qt::Key_Up, 4);

    QCOMPARE(Control<QLabel>(form, "Label2", Band250Hz)->text(), QStringLiteral("+6"));
    QCOMPARE(Control<QLabel>(form, "Label6", Band1kHz)->text(), QStringLiteral("-12"));
    QCOMPARE(Control<QLabel>(form, "Label9", 0)->text(), QStringLiteral("+2"));
    QCOMPARE(Control<QLabel>(form, "Label9", 1)->text(), QStringLiteral("+1"));
    QVERIFY(mSession->session.FilterChain(0).contains(QLatin1String("equalizer=f=250:width_type=o:width=1:g=6,")));
    QVERIFY(mSession->session.FilterChain(1).contains(QLatin1String("equalizer=f=1000:width_type=o:width=1:g=-12,")));
    // Neither channel carries the other's band.
    QVERIFY(!mSession->session.FilterChain(0).contains(QLatin1String("g=-12")));
    QVERIFY(!mSession->session.FilterChain(1).contains(QLatin1String("g=6,")));
    QCOMPARE(mSession->session.Volume(0), 2.0);
    QCOMPARE(mSession->session.Volume(1), 1.0);
}

void tst_EndToEnd::previewBothChannels()
{
    MainWindow *form = mSession->form;
    QTest::mouseClick(Control<QRadioButton>(form, "Option3", 2), Qt::LeftButton,
                      Qt::NoModifier, QPoint(8, Control<QRadioButton>(form, "Option3", 2)->height() / 2));
    QVERIFY(Control<QRadioButton>(form, "Option3", 2)->isChecked());
    QCOMPARE(mSession->session.PreviewChannel(), qint16(2));

    // The click starts the preview and returns; the window shows it to its end.
    QTest::mouseClick(Control<QPushButton>(form, "Command1", 0), Qt::LeftButton);
    QVERIFY(OpenWindow<PreviewWindow>() && OpenWindow<PreviewWindow>()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!form->PreviewRunning(), 30000);
    QVERIFY(!OpenWindow<PreviewWindow>());
    QVERIFY(Control<QPushButton>(form, "Command1", 0)->isEnabled());

    // The player's graph, run through ffmpeg, gives what would be heard.
    const QStringList arguments = mSession->toolArguments(QStringLiteral("ffplay"));
    QCOMPARE(arguments.value(5), PreviewGraph::ChannelReader(mSession->workspace() + "/Left.wav", 0));
    const QString mix = mSession->workspace() + QLatin1String("/heard.wav");
    QCOMPARE(RunTool(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i", arguments.value(5),
                                                "-af", arguments.value(7), mix}).exitCode, 0);
    QCOMPARE(Channels(mix), 2);
    QVERIFY(std::abs(DurationSeconds(mix) - 4.0) < 0.15);
    CheckEqualized(mix);
}

void tst_EndToEnd::saveAs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("codec");

    QTest::newRow("WAV") << "Equalized \"Mix\".wav" << "pcm_s16le";
    QTest::newRow("MP3") << "Equalized \"Mix\".mp3" << "mp3";
}

void tst_EndToEnd::saveAs()
{
    QFETCH(QString, name);
    QFETCH(QString, codec);

    const QString output = mSources.filePath(name);
    QPointer<ExportWindow> window = SaveAs(output);
    QVERIFY(window);
    QCOMPARE(window->Label1[1]->text(), output);
    QCOMPARE(Statuses(window), (QStringList{"Completed", "Completed", "Completed"}));
    QCOMPARE(window->Label2->text(), QString());
    QVERIFY2(window->Label3->text().startsWith(QLatin1String("Saved, peak -")), qPrintable(window->Label3->text()));
    QVERIFY(Control<QPushButton>(mSession->form, "Command1", 1)->isEnabled());

    QCOMPARE(CodecName(output), codec);
    QCOMPARE(Channels(output), 2);
    const double duration = DurationSeconds(output);
    QVERIFY2(std::abs(duration - 4.0) < 0.15, qPrintable(QString::number(duration)));
    CheckEqualized(output);
}

void tst_EndToEnd::CheckEqualized(const QString &output)
{
    struct Expected { int channel; double hz; double change; const char *why; };
    // Level +2 is +6.02 dB on the whole left channel.
    static const Expected expected[] = {
        {0, 250, 12.0, "left 250 Hz: band +6 and level +2"},
        {0, 1000, 6.0, "left 1 kHz: level +2 only"},
        {1, 1000, -12.0, "right 1 kHz: band -12"},
        {1, 4000, 0.0, "right 4 kHz: untouched"},
    };
    for (const Expected &tone : expected) {
        const double change = LevelNear(output, tone.channel, tone.hz) - LevelNear(mMp3, tone.channel, tone.hz);
        qInfo("%s: %+.2f dB", tone.why, change);
        QVERIFY2(std::abs(change - tone.change) < 1.0, tone.why);
    }
}

void tst_EndToEnd::resetRestoresStartUp()
{
    MainWindow *form = mSession->form;
    QPointer<ExportWindow> exportWindow = OpenWindow<ExportWindow>();
    QVERIFY(exportWindow);
    QTest::mouseClick(Control<QPushButton>(form, "Command1", 2), Qt::LeftButton);
    QVERIFY(!OpenWindow<ExportWindow>());
    // The source stays open, and the path box names it.
    QCOMPARE(Control<QLineEdit>(form, "Text1")->text(), mSession->session.SourceFile());

    const MainWindowState reset = MainWindowState::Of(form);
    QCOMPARE(reset.controls, mStartUp.controls);
    // Reset leaves flat chains where start-up had none: both cut and boost
    // nothing.
    static const QRegularExpression anyGain(QStringLiteral("g=-?[1-9]"));
    for (const QString &chain : reset.chains)
        QVERIFY2(!chain.contains(anyGain), qPrintable(chain));
}

void tst_EndToEnd::openVideoFirstMp4()
{
    QVERIFY(Open(mMp4));
    QCOMPARE(Control<QLineEdit>(mSession->form, "Text1")->text(), mMp4);
    QCOMPARE(mSession->session.SourceDuration(), QStringLiteral("3"));
}

// After Reset the sound passes unchanged: nothing of the earlier bands or
// levels stays behind.
void tst_EndToEnd::saveVideoSound()
{
    const QString output = mSources.filePath(QStringLiteral("From Clip.wav"));
    QPointer<ExportWindow> window = SaveAs(output);
    QVERIFY(window);
    QCOMPARE(Statuses(window), (QStringList{"Completed", "Completed", "Completed"}));
    QCOMPARE(window->Label2->text(), QString());

    QCOMPARE(CodecName(output), QStringLiteral("pcm_s16le"));
    QCOMPARE(Channels(output), 2);
    QVERIFY(std::abs(DurationSeconds(output) - 3.0) < 0.15);
    for (const auto &[channel, hz] : {std::pair{0, 500.0}, std::pair{1, 2000.0}}) {
        const double change = LevelNear(output, channel, hz) - LevelNear(mMp4, channel, hz);
        qInfo("channel %d at %.0f Hz: %+.2f dB", channel, hz, change);
        QVERIFY(std::abs(change) < 0.5);
    }
    QCOMPARE(DominantOf(output, 0, {500, 2000}), 500.0);
    QCOMPARE(DominantOf(output, 1, {500, 2000}), 2000.0);
}

void tst_EndToEnd::closeMainWindow()
{
    MainWindow *form = mSession->form;
    QVERIFY(form->close());
    QTRY_VERIFY(!mSession->form);
    // One preview, one player run.
    QCOMPARE(mSession->toolArguments(QStringLiteral("ffplay")).count(QStringLiteral("--")), 1);
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
