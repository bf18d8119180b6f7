// Sequences of user operations on the main window and what they leave: the
// chain boxes, the session's gain texts and chains, and the arguments the
// player and the export's ffmpeg runs receive, against tests/data/sequences.golden
// (rewritten from the present behaviour with BRENVOX_WRITE_GOLDEN=1).
#include "AudioMeasure.h"
#include "ui/mainwindow/PresetsController.h"
#include "ui/mainwindow/PreviewController.h"
#include "Controls.h"
#include "ImportFixture.h"

#include "core/presets/PresetFile.h"
#include "core/presets/ProfileImport.h"
#include "core/system/AppFolder.h"
#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QStandardPaths>
#include <QtTest>

namespace {

// One line of a script: "band L 3 -6" is op "band", channel 0, a 3, b -6.
struct Step
{
    QString op;
    int channel = -1;
    double a = 0;
    double b = 0;
    QString word; // "on", "off" or a file name
};

Step ParseStep(const QString &line)
{
    QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    Step step;
    step.op = words.takeFirst();
    if (!words.isEmpty() && (words[0] == QLatin1String("L") || words[0] == QLatin1String("R")))
        step.channel = words.takeFirst() == QLatin1String("L") ? 0 : 1;
    bool number = false;
    if (!words.isEmpty() && (words[0].toDouble(&number), number))
        step.a = words.takeFirst().toDouble();
    else if (!words.isEmpty())
        step.word = words.takeFirst();
    if (!words.isEmpty())
        step.b = words.takeFirst().toDouble();
    return step;
}

// What a row works on: a window with real ffprobe and ffmpeg, the ffmpeg
// behind a stand-in that keeps each run's arguments in a file of its own
// (the export runs three at once), and a player that only records.
struct Bench : ImportFixture
{
    Bench()
    {
        app.writeTool(QStringLiteral("ffmpeg"),
                      "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.$$.run\"\n"
                      "exec '" + QFile::encodeName(TestAppFolder::binFolder()) + "/ffmpeg' \"$@\"\n");
        app.writeTool(QStringLiteral("ffplay"),
                      "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.run\"\n");
    }
    QStringList takeRuns(const QString &tool)
    {
        QDir folder(app.path());
        QStringList runs;
        for (const QString &name : folder.entryList({tool + QLatin1String("*.run")}, QDir::Files, QDir::Name)) {
            runs << QString::fromUtf8(TestAppFolder::fileBytes(folder.filePath(name)));
            folder.remove(name);
        }
        runs.sort();
        return runs;
    }
};

// The operations a script names; each driver performs them its own way.
class Driver
{
public:
    virtual ~Driver() = default;
    virtual void Band(int channel, int band, int gain) = 0;
    virtual void Level(int channel, int position) = 0;
    virtual void Range(int choice) = 0;
    virtual void LowCut(bool on) = 0;
    virtual void Sync(bool on) = 0;
    virtual void Bandwidth(int octaves) = 0;
    virtual void Preamp(int channel, double db) = 0;
    virtual void AsDrawn(bool on) = 0;
    virtual void AvoidClipping(bool on) = 0;
    virtual void Reset() = 0;
    virtual void LoadPreset(const QString &path) = 0;
    virtual void ImportProfile(const QString &path) = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    virtual void Open(const QString &source) = 0;
    virtual void Preview(int channel) = 0;
    virtual void Export(const QString &target) = 0;
};

// The user's ways: controls found by their names, the Presets menu's load,
// the keys of undo and redo.
class WindowDriver : public Driver
{
public:
    explicit WindowDriver(Bench &bench) : mBench(bench), mWindow(bench.form) {}

    void Band(int channel, int band, int gain) override
    {
        // One move of the handle; the slider's minimum is at the top.
        Indexed<QSlider>(channel == 0 ? "LeftChanelSlider" : "RightChanelSlider", band)->setSliderPosition(-gain);
    }
    void Level(int channel, int position) override { Indexed<QSlider>("Slider1", channel)->setValue(position); }
    void Range(int choice) override { Choose("Option1", choice); }
    void LowCut(bool on) override { Choose("Option2", on); }
    void Sync(bool on) override { Choose("Option4", on); }
    void Bandwidth(int octaves) override { Control<QSlider>(mWindow, QStringLiteral("Slider2"))->setValue(octaves); }
    void Preamp(int channel, double db) override { Indexed<QDoubleSpinBox>("PreampBox", channel)->setValue(db); }
    void AsDrawn(bool on) override { Tick(QStringLiteral("AsDrawnBox"), on); }
    void AvoidClipping(bool on) override { Tick(QStringLiteral("AvoidClippingBox"), on); }
    void Reset() override { Control<QPushButton>(mWindow, QStringLiteral("Command1_2"))->click(); }
    void LoadPreset(const QString &path) override { QVERIFY(mWindow->Presets().LoadPreset(path)); }
    void ImportProfile(const QString &path) override
    {
        mWindow->Presets().ImportProfile(path);
        QVERIFY(QTest::qWaitFor([this] { return !mWindow->Presets().ImportingProfile(); }, 120000));
        qDeleteAll(mWindow->findChildren<QMessageBox *>(QStringLiteral("PresetMessage")));
    }
    void Undo() override { QTest::keyClick(mWindow, Qt::Key_Z, Qt::ControlModifier); }
    void Redo() override { QTest::keyClick(mWindow, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    void Open(const QString &source) override
    {
        QVERIFY(mBench.Open(source));
        QCOMPARE(mBench.WaitForEnd(120000), ImportFixture::End::Completed);
    }
    void Preview(int channel) override
    {
        Choose("Option3", channel);
        Control<QPushButton>(mWindow, QStringLiteral("Command1_0"))->click();
        QVERIFY(QTest::qWaitFor([this] { return mWindow && !mWindow->PreviewRunning(); }, 120000));
    }
    void Export(const QString &target) override
    {
        SetFileDialogAnswer([target](const FileDialogRequest &) { return target; });
        Control<QPushButton>(mWindow, QStringLiteral("Command1_1"))->click();
        SetFileDialogAnswer(FileDialogAnswer());
        QVERIFY(OpenWindow<ExportWindow>());
        // Its end: the merge row done, or a row failed.
        QVERIFY(QTest::qWaitFor([] {
            const ExportWindow *window = OpenWindow<ExportWindow>();
            if (!window)
                return true;
            const QString rows = window->Label1[6]->text() + window->Label1[7]->text() + window->Label1[8]->text();
            return !window->ExportRunning()
                && (rows.contains(QLatin1String("Failed")) || rows.endsWith(QLatin1String("Completed")));
        }, 120000));
        mWindow->CloseExportWindow();
    }

private:
    template<class W>
    W *Indexed(const char *name, int index)
    {
        return Control<W>(mWindow, QLatin1String(name) + QLatin1Char('_') + QString::number(index));
    }
    void Choose(const char *option, int index) { Indexed<QRadioButton>(option, index)->click(); }
    void Tick(const QString &name, bool on)
    {
        auto *box = Control<QCheckBox>(mWindow, name);
        if (box->isChecked() != on)
            box->click();
    }

    Bench &mBench;
    QPointer<MainWindow> mWindow;
};

// The session's own operations, as the command line calls them; the window
// only follows. Opening, previewing and exporting go through the window.
class SessionDriver : public WindowDriver
{
public:
    explicit SessionDriver(Bench &bench) : WindowDriver(bench), mSession(bench.session) {}

    void Band(int channel, int band, int gain) override { mSession.SetBandSliderPosition(channel, band, -gain); }
    void Level(int channel, int position) override { mSession.SetLevelPosition(channel, position); }
    void Range(int choice) override
    {
        mSession.SetRange(choice == 0 ? EqualizerSettings::WideRange : EqualizerSettings::NarrowRange);
    }
    void LowCut(bool on) override { mSession.SetLowCut(on); }
    void Sync(bool on) override { mSession.SetSync(on); }
    void Bandwidth(int octaves) override { mSession.SetBandwidth(octaves); }
    void Preamp(int channel, double db) override { mSession.SetPreamp(channel, db); }
    void AsDrawn(bool on) override { mSession.SetAsDrawn(on); }
    void AvoidClipping(bool on) override { mSession.SetAvoidClipping(on); }
    void Reset() override { mSession.Reset(); }
    void LoadPreset(const QString &path) override
    {
        EqualizerSettings settings;
        QString problem;
        QVERIFY2(PresetFile::Read(path, &settings, &problem), qPrintable(problem));
        QVERIFY(mSession.LoadSettings(settings));
    }
    void ImportProfile(const QString &path) override
    {
        QVERIFY(mSession.TakeProfile(ProfileImport::ImportFile(path, mSession.Settings())));
    }
    void Undo() override { mSession.Undo(); }
    void Redo() override { mSession.Redo(); }

private:
    Session &mSession;
};

// A script's step as the driver's operation; files in the bench's folders.
void Apply(Driver &driver, const Step &step, Bench &bench)
{
    const bool on = step.word == QLatin1String("on");
    const int a = int(step.a);
    const QHash<QString, std::function<void()>> operations{
        {"band", [&] { driver.Band(step.channel, a, int(step.b)); }},
        {"level", [&] { driver.Level(step.channel, a); }},
        {"range", [&] { driver.Range(a); }},
        {"lowcut", [&] { driver.LowCut(on); }},
        {"sync", [&] { driver.Sync(on); }},
        {"bandwidth", [&] { driver.Bandwidth(a); }},
        {"preamp", [&] { driver.Preamp(step.channel, step.a); }},
        {"asdrawn", [&] { driver.AsDrawn(on); }},
        {"avoidclipping", [&] { driver.AvoidClipping(on); }},
        {"reset", [&] { driver.Reset(); }},
        {"preset", [&] { driver.LoadPreset(bench.app.scratchPath(step.word)); }},
        {"profile", [&] { driver.ImportProfile(TestAppFolder::testDataFolder() + "/profiles/" + step.word); }},
        {"undo", [&] { driver.Undo(); }},
        {"redo", [&] { driver.Redo(); }},
        {"open", [&] {
             // Pink noise at the rate, as a stereo file the import splits.
             const QString source = bench.app.scratchPath(QStringLiteral("source.wav"));
             const QString noise = QStringLiteral("anoisesrc=color=pink:seed=5:duration=1:sample_rate=%1").arg(a);
             QVERIFY(AudioMeasure::Generate(noise, source, {QStringLiteral("-ac"), QStringLiteral("2")}));
             driver.Open(source);
         }},
        {"preview", [&] { driver.Preview(a); }},
        {"export", [&] { driver.Export(bench.app.scratchPath(QStringLiteral("out.wav"))); }},
    };
    const auto operation = operations.constFind(step.op);
    QVERIFY2(operation != operations.cend(), qPrintable(step.op));
    (*operation)();
}

// What a row leaves, as the golden file holds it: each item as "-- <name>"
// and its lines.
QStringList CaptureState(Bench &bench, const QStringList &players, const QStringList &exports)
{
    const Session &session = bench.session;
    const QString chains[] = {session.FilterChain(0), session.FilterChain(1)};
    const QString root = QFileInfo(bench.app.path()).path();
    // Folder names as placeholders; a chain received whole, as its name.
    const auto stable = [&](QString text) {
        for (int channel : {0, 1})
            if (!chains[channel].isEmpty())
                text.replace(chains[channel], channel == 0 ? QLatin1String("<left chain>") : QLatin1String("<right chain>"));
        text.replace(WorkspaceFolder(), QStringLiteral("<workspace>"));
        text.replace(bench.app.path(), QStringLiteral("<app>"));
        text.replace(root + QLatin1String("/scratch"), QStringLiteral("<scratch>"));
        // The merge writes into its private folder through a descriptor.
        text.replace(QRegularExpression(QStringLiteral("/proc/\\d+/fd/\\d+/")), QStringLiteral("<private folder>/"));
        // A long argument (a filter graph) a filter a line, so a difference points at it.
        QStringList lines;
        for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList filters = line.split(QLatin1Char(','));
            lines << (line.size() > 200 ? filters.join(QLatin1String("\n  ,")).split(QLatin1Char('\n')) : QStringList{line});
        }
        return lines;
    };
    QStringList lines;
    for (int channel : {0, 1}) {
        const QString side = channel == 0 ? QStringLiteral("left ") : QStringLiteral("right ");
        const auto &gains = session.GainTexts(channel);
        const QString box = Control<QPlainTextEdit>(bench.form, QStringLiteral("Text%1").arg(channel + 2))
                                ->toPlainText();
        lines << "-- " + side + "chain" << chains[channel].split(QLatin1Char(','), Qt::SkipEmptyParts)
              << "-- " + side + "chain box"
              << (box == chains[channel] ? QStringList{"<" + side + "chain>"} : stable(box))
              << "-- " + side + "gain texts" << QStringList(gains.begin(), gains.end()).join(QLatin1Char(' '));
    }
    for (const QString &run : players)
        lines << QStringLiteral("-- player") << stable(run);
    for (const QString &run : exports)
        lines << QStringLiteral("-- export ffmpeg") << stable(run);
    return lines;
}

QString GoldenPath()
{
    return TestAppFolder::testDataFolder() + QLatin1String("/sequences.golden");
}

// The golden file: "== <row name>" and the row's lines, by row name.
using Sections = QMap<QString, QStringList>;

Sections ReadGolden()
{
    Sections sections;
    QString row;
    const QString text = QString::fromUtf8(TestAppFolder::fileBytes(GoldenPath()));
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("== ")))
            row = line.mid(3);
        else
            sections[row] << line;
    }
    return sections;
}

} // namespace

class tst_Sequences : public QObject
{
    Q_OBJECT

    // With BRENVOX_WRITE_GOLDEN, the rows run replace their sections.
    bool mWriting = qEnvironmentVariableIsSet("BRENVOX_WRITE_GOLDEN");
    Sections mGolden = ReadGolden();

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).removeRecursively();
    }

    void cleanupTestCase()
    {
        if (!mWriting)
            return;
        QByteArray text;
        for (auto section = mGolden.cbegin(); section != mGolden.cend(); ++section)
            text += ("== " + section.key() + '\n' + section.value().join(QLatin1Char('\n')) + '\n').toUtf8();
        QFile file(GoldenPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(text), qint64(text.size()));
        QVERIFY(file.flush());
    }

    void sequences_data();
    void sequences();
};

void tst_Sequences::sequences_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<bool>("throughSession");
    // Each script through the window, then through the session's operations:
    // both must leave what the golden file holds.
    const auto add = [](const char *name, const QStringList &script) {
        QTest::newRow(name) << script << false;
        QTest::addRow("%s, through the session", name) << script << true;
    };

    add("bands of both channels", QStringList{"band L 3 -6", "band R 40 4", "band L 64 12"});
    add("sync copies left to right", QStringList{"band L 3 -6", "band R 10 5", "sync on", "band L 20 3"});
    add("sync on, then a right move", QStringList{"sync on", "band L 5 7", "band R 5 -2"});
    add("sync off copies once more", QStringList{"sync on", "band L 5 7", "sync off", "band R 6 1"});
    add("a level shows until the next rebuild", QStringList{"band L 2 4", "level L -8", "level R 3"});
    add("a level, then a band move", QStringList{"level L -8", "band L 2 4"});
    add("narrow range flattens every band", QStringList{"band L 3 -6", "band R 7 9", "range 1", "band R 8 3"});
    add("low cut on and off", QStringList{"band L 3 -6", "lowcut on", "band R 0 2", "lowcut off"});
    add("bandwidth", QStringList{"band L 30 5", "bandwidth 3", "bandwidth 1"});
    add("preamps", QStringList{"band L 30 5", "preamp L -2.5", "preamp R 4"});
    add("as drawn, then off", QStringList{"band L 30 8", "band L 31 -8", "asdrawn on", "band R 12 6", "asdrawn off"});
    add("avoid clipping, then off", QStringList{"band L 30 12", "avoidclipping on", "level L -9", "band L 31 12", "avoidclipping off"});
    add("both options and a preamp", QStringList{"band R 20 10", "avoidclipping on", "asdrawn on", "preamp R 3", "asdrawn off"});
    add("reset", QStringList{"band L 3 -6", "sync on", "level R -7", "bandwidth 2", "reset"});
    add("preset", QStringList{"band L 9 9", "preset preset.json"});
    add("preset, then a band", QStringList{"preset preset.json", "band L 1 -1"});
    add("profile", QStringList{"band L 9 9", "profile config_narrow.txt"});
    add("undo a band and a range", QStringList{"band L 3 -6", "band R 4 2", "range 1", "undo", "undo"});
    add("undo and redo a level and low cut", QStringList{"level L -9", "lowcut on", "undo", "undo", "redo"});
    add("undo reset", QStringList{"band L 3 -6", "preamp L 2", "reset", "undo"});
    add("8 kHz source leaves bands out", QStringList{"open 8000", "band L 60 6", "band R 2 -3"});
    add("22.05 kHz source with low cut", QStringList{"band L 62 4", "open 22050", "lowcut on"});
    add("preview each channel", QStringList{"open 44100", "band L 3 -6", "level R -2", "preview 0", "preview 1", "preview 2"});
    add("preview with as drawn", QStringList{"open 44100", "band R 50 9", "asdrawn on", "preview 2"});
    add("export", QStringList{"open 44100", "band L 3 -6", "band R 50 9", "level L -6", "preamp R -1", "export"});
}

void tst_Sequences::sequences()
{
    QFETCH(QStringList, script);
    QFETCH(bool, throughSession);
    const QString row = QString::fromUtf8(QTest::currentDataTag()).remove(QLatin1String(", through the session"));

    Bench bench;
    QVERIFY(bench.isValid());
    QVERIFY(QTest::qWaitFor([&] { return bench.form && bench.form->Ready(); }, 60000));
    bench.form->show();
    bench.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(bench.form));
    {
        // Narrow range, low cut, sync off, bandwidth 2, bands and levels of both.
        EqualizerSettings preset;
        preset.range = EqualizerSettings::NarrowRange;
        preset.lowCut = true;
        preset.bandwidth = 2;
        preset.channels[0].gains[10] = -4;
        preset.channels[0].moved.fill(true);
        preset.channels[1].gains[50] = 5;
        preset.channels[1].moved[50] = true;
        preset.channels[1].levelPosition = -6;
        QString message;
        QDir().mkpath(QFileInfo(bench.app.scratchPath(QString())).path());
        const QString path = bench.app.scratchPath(QStringLiteral("preset.json"));
        QVERIFY2(PresetFile::Save(path, preset, &message), qPrintable(message));
    }

    WindowDriver window(bench);
    SessionDriver session(bench);
    Driver &driver = throughSession ? static_cast<Driver &>(session) : window;
    QStringList players;
    QStringList exports;
    for (const QString &line : script) {
        const Step step = ParseStep(line);
        bench.takeRuns(QStringLiteral("ffmpeg"));
        Apply(driver, step, bench);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QLatin1String("at \"") + line + QLatin1Char('"')));
        if (step.op == QLatin1String("preview"))
            players << bench.takeRuns(QStringLiteral("ffplay"));
        if (step.op == QLatin1String("export"))
            exports << bench.takeRuns(QStringLiteral("ffmpeg"));
    }
    const QStringList actual = CaptureState(bench, players, exports);
    if (mWriting) {
        if (!throughSession)
            mGolden.insert(row, actual);
        return;
    }
    const QStringList expected = mGolden.value(row);
    QVERIFY2(!expected.isEmpty(), qPrintable(QLatin1String("No section for this row in ") + GoldenPath()));
    QString item;
    int itemStart = 0;
    for (int line = 0; line < std::max(actual.size(), expected.size()); ++line) {
        if (actual.value(line).startsWith(QLatin1String("-- ")))
            item = actual.value(line).mid(3), itemStart = line;
        if (actual.value(line) != expected.value(line))
            QFAIL(qPrintable(QStringLiteral("%1, %2, line %3:\n  now:      %4\n  expected: %5")
                                 .arg(row, item).arg(line - itemStart).arg(actual.value(line), expected.value(line))));
    }
}

QTEST_MAIN(tst_Sequences)
#include "tst_sequences.moc"
