// Bad and awkward choices in the open and save dialogs, with the real ffmpeg
// and ffprobe: what the windows say, and that nothing of the user's was lost
// (the main window's settings, the source file, no stray files).
#include "Controls.h"
#include "ImportFixture.h"
#include "TakenSource.h"
#include "AudioMeasure.h"
#include "MainWindowState.h"

#include "core/system/AppFolder.h"
#include "core/system/NativePath.h"
#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"
#include "ui/ImportWindow.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MakeSource(const QString &kind, const QString &path)
{
    using namespace AudioMeasure;
    if (kind == QLatin1String("stereo"))
        return GenerateStereoTones(440, 1000, 3, path);
    if (kind == QLatin1String("3 hours")) {
        // Three hours at 100 samples a second: about a megabyte, split in
        // well under a second.
        return Generate(QStringLiteral("anullsrc=r=100:cl=mono"), path,
                        {QStringLiteral("-t"), QStringLiteral("10800"), QStringLiteral("-c:a"),
                         QStringLiteral("pcm_u8")});
    }
    if (kind == QLatin1String("video only"))
        return Generate(QStringLiteral("testsrc=d=2:s=64x64:r=5"), path,
                        {QStringLiteral("-c:v"), QStringLiteral("mpeg4")});
    if (kind == QLatin1String("tagged"))
        return Generate(QStringLiteral("sine=d=3"), path,
                        {QStringLiteral("-metadata"), QStringLiteral("title=Duration: 23:59:59")});
    if (kind == QLatin1String("directory"))
        return QDir().mkpath(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (kind == QLatin1String("text"))
        return file.write("These are words, not sound.\n") > 0;
    return kind == QLatin1String("empty");
}

QByteArray Fingerprint(const QString &path)
{
    // Never waits on a pipe; reaches names that are no UTF-8.
    QFile file;
    const int descriptor = ::open(NativePath::ToBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0 || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

// Every entry below a folder, with its size.
QStringList Listing(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries << it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().size());
    }
    entries.sort();
    return entries;
}

QStringList Statuses(const ExportWindow *form)
{
    return {Control<QLabel>(form, "Label1", 6)->text(), Control<QLabel>(form, "Label1", 7)->text(), Control<QLabel>(form, "Label1", 8)->text()};
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace

class tst_BadInputs : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase();
    void open_data();
    void open();
    void saveAs_data();
    void saveAs();

private:
    // One imported source serves every Save As row, as one user would try
    // them one after the other.
    std::unique_ptr<ImportFixture> mSaving;
    QString mSource;
};

void tst_BadInputs::cleanupTestCase()
{
    mSaving.reset();
}

void tst_BadInputs::open_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("heading"); // empty: the import completes
    QTest::addColumn<QString>("reason"); // <source>: the chosen path
    QTest::addColumn<QString>("duration");

    QTest::newRow("non-media file") << "text" << "notes.mp3" << "Searching Failed"
                                    << "The chosen file is a text file, not audio or video" << "";
    QTest::newRow("empty file") << "empty" << "empty.wav" << "Searching Failed"
                                << "The chosen file is empty: <source>" << "";
    QTest::newRow("directory") << "directory" << "Album.wav" << "Searching Failed"
                               << "<source> is a folder, not a file" << "";
    QTest::newRow("FIFO") << "fifo" << "live.wav" << "Searching Failed"
                          << "<source> is a pipe (FIFO), not a file: the source is read more than once" << "";
    QTest::newRow("missing (deleted after the choice)")
        << "missing" << "song.wav" << "Searching Failed" << "The chosen file cannot be found" << "";
    QTest::newRow("unreadable") << "unreadable" << "locked.wav" << "Searching Failed"
                                << "The chosen file cannot be read: <source>: Permission denied" << "";
    QTest::newRow("video without audio") << "video only" << "silent film.mp4" << "Searching Failed"
                                         << "The chosen file holds no audio stream" << "";
    // The rate and the duration are the report's, not the console's.
    QTest::newRow("name holding a stream line")
        << "stereo" << "song\n  Stream #0:1: Audio: pcm_s16le, 8000 Hz, 1 channels, s16\n{\n}.wav" << ""
        << "" << "3";
    QTest::newRow("title tag \"Duration: 23:59:59\"") << "tagged" << "tagged.wav" << "" << "" << "3";
    QTest::newRow("name that is no UTF-8")
        << "stereo" << NativePath::FromBytes("caf\xe9 \xff.wav") << "" << "" << "3";
    QTest::newRow("3 hours") << "3 hours" << "long.wav" << "" << "" << "10800";
    QTest::newRow("blanks") << "stereo" << "  my  song .wav" << "" << "" << "3";
    QTest::newRow("quotes") << "stereo" << "say \"hi\" 'there'.wav" << "" << "" << "3";
    QTest::newRow("backslash") << "stereo" << "back\\slash\\n.wav" << "" << "" << "3";
    QTest::newRow("non-ASCII letters")
        << "stereo" << QStringLiteral("Gr\u00fc\u00dfe \u00e9t\u00e9 \u65e5\u672c \u0416.wav") << "" << ""
        << "3";
    QTest::newRow("leading -") << "stereo" << "-i song.wav" << "" << "" << "3";
    QTest::newRow("colon") << "stereo" << "file:track 1.wav" << "" << "" << "3";
    // Named relative to the working folder, as on the command line; no a.wav, no b.wav.
    QTest::newRow("relative, a protocol's name") << "relative" << "concat:a.wav|b.wav" << "" << "" << "3";
}

void tst_BadInputs::open()
{
    QFETCH(QString, kind);
    QFETCH(QString, fileName);
    QFETCH(QString, heading);
    QFETCH(QString, reason);
    QFETCH(QString, duration);

    if (kind == QLatin1String("unreadable") && RunningAsRoot())
        QSKIP("root reads a file whatever its mode says; as another user this row expects \"Permission denied\"");

    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    const QString scratch = QFileInfo(fixture.app.scratchPath(QString())).absolutePath();
    const QString source = fixture.app.scratchPath(fileName);
    reason.replace(QLatin1String("<source>"), source);
    const bool missing = kind == QLatin1String("missing");
    const bool unreadable = kind == QLatin1String("unreadable");
    const bool relative = kind == QLatin1String("relative");
    // Made under a plain name first: the tools that make it get names as UTF-8.
    const bool raw = NativePath::HoldsRawBytes(source);
    const QString made = raw ? fixture.app.scratchPath(QStringLiteral("plain.wav")) : source;
    QVERIFY(MakeSource(missing || unreadable || relative ? QStringLiteral("stereo") : kind, made));
    QVERIFY(!raw || ::rename(QFile::encodeName(made).constData(), NativePath::ToBytes(source).constData()) == 0);
    const QByteArray fingerprint = Fingerprint(source);
    if (unreadable)
        QVERIFY(QFile::setPermissions(source, {}));
    QTest::keyClick(Control<QSlider>(fixture.form, "LeftChanelSlider", 10), Qt::Key_PageUp);
    QTest::keyClick(Control<QSlider>(fixture.form, "RightChanelSlider", 40), Qt::Key_PageDown);
    const MainWindowState before = MainWindowState::Of(fixture.form);
    if (missing) {
        SetFileDialogAnswer([&](const FileDialogRequest &) {
            QFile::remove(source);
            return source;
        });
    }
    const QStringList scratchBefore = Listing(scratch);
    {
        // What an earlier source's import left: the channel files.
        const SequenceScope earlierImport(&fixture.session);
        TakeSource(fixture.session, [](Session::Source &s) {
            s.file = QStringLiteral("/music/earlier.wav");
            s.leftWav = WorkspaceFolder() + QStringLiteral("/Left.wav");
            s.rightWav = WorkspaceFolder() + QStringLiteral("/Right.wav");
        });
        for (const QString &channelFile : {fixture.session.LeftSourceWav(), fixture.session.RightSourceWav()})
            QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=d=1"), channelFile));
    }
    QVERIFY(Control<QPushButton>(fixture.form, "Command1", 0)->isEnabled());

    const auto restore = qScopeGuard([folder = QDir::currentPath()] { QDir::setCurrent(folder); });
    QVERIFY(!relative || QDir::setCurrent(scratch));
    // The dialog shows such a name as Qt decodes it.
    ImportWindow *window = fixture.Open(relative ? fileName : raw ? QFile::decodeName(NativePath::ToBytes(source)) : source);
    QVERIFY(window);
    const ImportFixture::End end = fixture.WaitForEnd();
    QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner);

    if (heading.isEmpty()) {
        QCOMPARE(end, ImportFixture::End::Completed);
        QCOMPARE(fixture.statusAtClose, (QStringList{"Completed.", "Completed."}));
        for (const QString &channelFile : {fixture.session.LeftSourceWav(), fixture.session.RightSourceWav()}) {
            QCOMPARE(AudioMeasure::Channels(channelFile), 1);
            QVERIFY(std::abs(AudioMeasure::DurationSeconds(channelFile) - duration.toDouble()) < 0.1);
        }
    } else {
        QCOMPARE(end, ImportFixture::End::Failed);
        QCOMPARE(window->Label2[0]->text(), heading);
        QCOMPARE(window->Label2[1]->text(), reason);
        for (const QString &channelFile : {fixture.session.LeftSourceWav(), fixture.session.RightSourceWav()})
            QVERIFY(std::abs(AudioMeasure::DurationSeconds(channelFile) - 1.0) < 0.05);
    }
    QCOMPARE(fixture.session.SourceDuration(), duration);
    const QString shown = heading.isEmpty() ? source : QStringLiteral("/music/earlier.wav");
    QCOMPARE(Control<QLineEdit>(fixture.form, "Text1")->text(), shown);
    QCOMPARE(fixture.session.SourceFile(), shown);
    QVERIFY(Control<QPushButton>(fixture.form, "Command2")->isEnabled());
    QVERIFY(Control<QPushButton>(fixture.form, "Command1", 0)->isEnabled() && Control<QPushButton>(fixture.form, "Command1", 1)->isEnabled());

    const MainWindowState after = MainWindowState::Of(fixture.form);
    QCOMPARE(after.controls, before.controls);
    if (fixture.session.SourceSampleRate() == 0 || fixture.session.SourceSampleRate() > 40000) {
        QCOMPARE(after.chains, before.chains);
    } else {
        // At 100 samples a second only the bands below 50 Hz can act.
        QCOMPARE(fixture.session.SourceSampleRate(), 100);
        for (const QString &chain : after.chains)
            QCOMPARE(chain.count(QLatin1String("equalizer=")), 8);
        QVERIFY2(Control<QLabel>(fixture.form, "StatusLine")->text().contains(QLatin1String("bands 9 to 65 (50hz to 20K)")),
                 qPrintable(Control<QLabel>(fixture.form, "StatusLine")->text()));
    }
    // The missing file stays missing: nothing was made in its place.
    QCOMPARE(Fingerprint(source), missing ? QByteArray() : fingerprint);
    QCOMPARE(Listing(scratch), missing ? QStringList() : scratchBefore);
}

void tst_BadInputs::saveAs_data()
{
    QTest::addColumn<QString>("output"); // <scratch>, <source>: replaced
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QString>("message"); // <output>: the chosen path

    // Folder modes do not stop root, and no one creates files in /proc.
    const QString readOnlyFolder = RunningAsRoot() ? QStringLiteral("/proc/Equalized.wav")
                                                   : QStringLiteral("<scratch>/read-only/Equalized.wav");
    const QStringList idle{"Idle", "Idle", "Idle"};
    const QString notCreated = QStringLiteral("The output file could not be created: ");
    const QString notTheSource = QStringLiteral("The source file cannot be overwritten: choose another output file.");

    QTest::newRow("read-only folder") << readOnlyFolder << idle << notCreated + (RunningAsRoot() ? "nothing can be made in the folder /proc (No such file or directory)" : "the folder <scratch>/read-only is read-only");
    QTest::newRow("folder that does not exist") << "<scratch>/gone/Equalized.wav" << idle << notCreated + "the folder <scratch>/gone does not exist";
    // A render streaming into the merge may have handed over all its sound
    // before the merge gave up, or been cut off by it.
    QTest::newRow("unknown extension")
        << "<scratch>/Equalized.xyz" << QStringList{"Completed|Idle", "Completed|Idle", "Failed"}
        << "Merging Chanels failed: ffmpeg failed: <output>: Invalid argument";
    QTest::newRow("the source") << "<source>" << idle << notTheSource;
    QTest::newRow("a link to the source") << "<scratch>/link to source.wav" << idle << notTheSource;
}

void tst_BadInputs::saveAs()
{
    QFETCH(QString, output);
    QFETCH(QStringList, statuses);
    QFETCH(QString, message);

    if (!mSaving) {
        mSaving = std::make_unique<ImportFixture>();
        QVERIFY(mSaving->isValid());
        mSource = mSaving->app.scratchPath(QStringLiteral("source/My Song.wav"));
        QVERIFY(QDir().mkpath(QFileInfo(mSource).path()));
        QVERIFY(MakeSource(QStringLiteral("stereo"), mSource));
        QVERIFY(mSaving->Open(mSource));
        QCOMPARE(mSaving->WaitForEnd(), ImportFixture::End::Completed);
        QTest::keyClick(Control<QSlider>(mSaving->form, "LeftChanelSlider", 29), Qt::Key_PageUp);
    }
    MainWindow *form = mSaving->form;
    QVERIFY(form);
    const QString scratch = QFileInfo(mSaving->app.scratchPath(QString())).absolutePath();
    output.replace(QLatin1String("<scratch>"), scratch).replace(QLatin1String("<source>"), mSource);
    message.replace(QLatin1String("<output>"), output).replace(QLatin1String("<scratch>"), scratch);
    if (output.contains(QLatin1String("/read-only/"))) {
        QVERIFY(QDir().mkpath(QFileInfo(output).path()));
        QVERIFY(QFile::setPermissions(QFileInfo(output).path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    if (output.contains(QLatin1String("link to source")))
        QVERIFY(QFile::link(mSource, output));

    const MainWindowState before = MainWindowState::Of(form);
    const QString sourceFile = form->session().SourceFile();
    const QString duration = form->session().SourceDuration();
    const QByteArray fingerprint = Fingerprint(mSource);
    const QStringList scratchBefore = Listing(scratch);

    SetFileDialogAnswer([output](const FileDialogRequest &) { return output; });
    Control<QPushButton>(form, "Command1", 1)->click();
    QPointer<ExportWindow> window = OpenWindow<ExportWindow>();
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(window && Control<QPushButton>(form, "Command1", 1)->isEnabled()
                                 && (!window->Label2->text().isEmpty()
                                     || Statuses(window).endsWith(QStringLiteral("Completed"))),
                             60000);
    const QStringList shown = Statuses(window);
    QCOMPARE(shown.size(), statuses.size());
    for (int row = 0; row < shown.size(); ++row)
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(statuses[row])).match(shown[row]).hasMatch(),
                 qPrintable(shown.join(QLatin1String(", "))));
    QCOMPARE(window->Label2->text(), message);
    QVERIFY(Control<QPushButton>(form, "Command2")->isEnabled());

    const MainWindowState after = MainWindowState::Of(form);
    QCOMPARE(after.controls, before.controls);
    QCOMPARE(after.chains, before.chains);
    QCOMPARE(form->session().SourceFile(), sourceFile);
    QCOMPARE(form->session().SourceDuration(), duration);
    QCOMPARE(Control<QLineEdit>(form, "Text1")->text(), sourceFile);
    QCOMPARE(Fingerprint(mSource), fingerprint);
    QCOMPARE(AudioMeasure::Channels(mSource), 2);
    QCOMPARE(Listing(scratch), scratchBefore);
    if (QFileInfo(output).canonicalFilePath() != QFileInfo(mSource).canonicalFilePath())
        QVERIFY(!QFileInfo::exists(output));

    window->close();
    QTRY_VERIFY(!window);
}

QTEST_MAIN(tst_BadInputs)
#include "tst_badinputs.moc"
