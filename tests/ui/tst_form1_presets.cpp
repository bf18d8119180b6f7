// The main window follows the settings model; the "Presets" menu through
// the file dialog seam; "Last settings" kept by the shutdown.
#include "ui/ChoiceDialog.h"
#include "ui/mainwindow/PresetsController.h"
#include "ui/mainwindow/PreviewController.h"
#include "Controls.h"
#include "TakenSource.h"
#include "ui/Colours.h"
#include "ui/FileDialogs.h"
#include "core/presets/PresetFile.h"
#include "core/presets/ProfileExport.h"

#include "MainWindowState.h"
#include "../core/PresetTestData.h"
#include "StartedMainWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <map>
#include <memory>

#include <cmath>
#include <csignal>
#include <sys/mount.h>

namespace {

// The settings as the controls and lamps show them; a readout reads "00"
// until its band is first applied.
EqualizerSettings WindowSettings(const MainWindow *form)
{
    EqualizerSettings settings;
    settings.range = BackColour(Control<QLabel>(form, "Label15", 0)) == LampOnColour ? Control<QSlider>(form, "LeftChanelSlider", 0)->maximum() : 6;
    settings.lowCut = BackColour(Control<QLabel>(form, "Label16", 1)) == LampOnColour && Control<QRadioButton>(form, "Option2", 1)->isChecked();
    settings.sync = BackColour(Control<QLabel>(form, "Label19", 1)) == LampOnColour && Control<QRadioButton>(form, "Option4", 1)->isChecked();
    settings.bandwidth = Control<QSlider>(form, "Slider2")->value();
    settings.avoidClipping = Control<QCheckBox>(form, "AvoidClippingBox")->isChecked();
    settings.asDrawn = Control<QCheckBox>(form, "AsDrawnBox")->isChecked();
    for (int channel = 0; channel < 2; ++channel) {
        const auto sliders = Controls<QSlider>(form, channel == 0 ? "LeftChanelSlider" : "RightChanelSlider");
        const auto readouts = Controls<QLabel>(form, channel == 0 ? "Label2" : "Label6");
        settings.channels[channel].levelPosition = Control<QSlider>(form, "Slider1", channel)->value();
        settings.channels[channel].preampTenths = int(std::lround(Control<QDoubleSpinBox>(form, "PreampBox", channel)->value() * 10));
        for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
            settings.channels[channel].gains[band] = -sliders[band]->value();
            settings.channels[channel].moved[band] = readouts[band]->text() != QLatin1String("00");
        }
    }
    return settings;
}

const std::map<QString, std::function<void(MainWindow *)>> ByHand = {
    {"both channels", [](MainWindow *f) {
         Control<QSlider>(f, "LeftChanelSlider", 10)->setSliderPosition(-5);
         Control<QSlider>(f, "RightChanelSlider", 40)->setSliderPosition(7);
     }},
    {"options first", [](MainWindow *f) {
         Control<QRadioButton>(f, "Option1", 1)->setChecked(true);
         Control<QRadioButton>(f, "Option2", 1)->setChecked(true);
         Control<QSlider>(f, "Slider2")->setValue(120);
         Control<QSlider>(f, "LeftChanelSlider", 3)->setSliderPosition(4);
         Control<QSlider>(f, "RightChanelSlider", 60)->setSliderPosition(-6);
     }},
    {"levels and sync", [](MainWindow *f) {
         Control<QSlider>(f, "Slider1", 1)->setValue(3);
         Control<QRadioButton>(f, "Option4", 1)->setChecked(true);
         Control<QSlider>(f, "LeftChanelSlider", 20)->setSliderPosition(-12);
     }},
};

} // namespace

class tst_Form1Presets : public QObject
{
    Q_OBJECT

    std::unique_ptr<StartedMainWindow> mWindow;
    MainWindow *mForm = nullptr;
    QTemporaryDir mFiles;
    FileDialogRequest mAsked;

    void StartWindow()
    {
        mWindow.reset();
        mWindow = std::make_unique<StartedMainWindow>();
        mForm = mWindow->form;
    }

    // Chooses a "Presets" entry, answering its file dialog with the path.
    void Choose(const QString &entry, const QString &answer = QString())
    {
        SetFileDialogAnswer([this, answer](const FileDialogRequest &request) { return mAsked = request, answer; });
        emit Control<QMenu>(mForm, "PresetsMenu")->aboutToShow();
        for (QAction *action : Control<QMenu>(mForm, "PresetsMenu")->actions())
            if (action->text() == entry)
                action->trigger();
        SetFileDialogAnswer(nullptr);
    }

    // The message box shown since the last call, closed, once no import is
    // being read any more.
    QString Message()
    {
        if (!QTest::qWaitFor([this] { return !mForm->Presets().ImportingProfile(); }, 120000))
            return QStringLiteral("still importing after 120 s");
        QString text;
        for (QMessageBox *box : mForm->findChildren<QMessageBox *>(QStringLiteral("PresetMessage"))) {
            text = (box->text() + ' ' + box->informativeText()).trimmed();
            delete box;
        }
        return text;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).removeRecursively();
    }

    void init() { StartWindow(); }
    void cleanup() { mWindow.reset(); }

    void followsTheModel_data()
    {
        QTest::addColumn<quint32>("seed");
        for (const quint32 seed : {1u, 2u, 3u, 4u, 5u})
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }

    void followsTheModel()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const EqualizerSettings settings = RandomSettings(random);
        QVERIFY(mForm->session().LoadSettings(settings));
        QVERIFY(WindowSettings(mForm) == settings);
        QCOMPARE(mForm->session().State().RightBandGain[9], QString::fromStdString(settings.GainText(1, 9)));
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), mForm->session().FilterChain(0));
    }

    void presetShowsAsIfSetByHand_data()
    {
        QTest::addColumn<QString>("moves");
        for (const auto &moves : ByHand)
            QTest::newRow(qPrintable(moves.first)) << moves.first;
    }

    void presetShowsAsIfSetByHand()
    {
        QFETCH(QString, moves);
        ByHand.at(moves)(mForm);
        const MainWindowState byHand = MainWindowState::Of(mForm);
        const EqualizerSettings shown = WindowSettings(mForm);
        Choose(QStringLiteral("Save As..."), mFiles.filePath(moves + QLatin1String(".json")));
        QCOMPARE(mAsked.kind, FileDialogRequest::Kind::Save);

        // A fresh window, the preset chosen among the recent ones.
        StartWindow();
        Choose(moves + QLatin1String(".json"));
        QCOMPARE(Message(), QString());
        QCOMPARE(MainWindowState::Of(mForm).controls, byHand.controls);
        QCOMPARE(MainWindowState::Of(mForm).chains, byHand.chains);
        QVERIFY(WindowSettings(mForm) == shown);
    }

    void badFileChangesNothing_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QByteArray future = PresetFile::ToJson(EqualizerSettings()).replace("\"version\": 2", "\"version\": 99");
        QTest::newRow("empty preset") << "Load..." << QByteArray() << "the file is empty";
        QTest::newRow("another tool's JSON") << "Load..." << QByteArray("{\"bands\": [1]}") << "not a Brenvox preset";
        QTest::newRow("version 99") << "Load..." << future << "version 99";
        QTest::newRow("filter without gain") << "Import profile..." << QByteArray("Filter: ON PK Fc 90 Hz Q 1")
                                             << "Cannot import";
    }

    void badFileChangesNothing()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        Control<QSlider>(mForm, "LeftChanelSlider", 7)->setSliderPosition(-3);
        const EqualizerSettings before = mForm->session().Settings();
        const MainWindowState shown = MainWindowState::Of(mForm);
        const QString path = mFiles.filePath(QStringLiteral("bad.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
        file.close();

        Choose(entry, path);
        const QString message = Message();
        QVERIFY2(message.contains(path) && message.contains(problem), qPrintable(message));
        QVERIFY(mForm->session().Settings() == before);
        QCOMPARE(MainWindowState::Of(mForm).controls, shown.controls);
        QCOMPARE(MainWindowState::Of(mForm).chains, shown.chains);
    }

    void importProfile_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("listener"); // the answer when asked which
        QTest::addColumn<QString>("messageEnd");
        QTest::newRow("right channel only") << "right_only.txt" << "" << "right 1.4 dB.";
        QTest::newRow("audiogram") << "audiogram.csv" << "" << "This is not a hearing aid.";
        QTest::newRow("listeners file, the second") << "listeners.json" << "L2" << "This is not a hearing aid.";
    }

    void importProfile()
    {
        QFETCH(QString, profile);
        QFETCH(QString, listener);
        QFETCH(QString, messageEnd);
        Control<QSlider>(mForm, "LeftChanelSlider", 7)->setSliderPosition(-3);
        const ChannelSettings left = mForm->session().Settings().channels[0];
        const QString path = ProfilePath(profile);
        QStringList offered;
        SetChoiceAnswer([&](const ChoiceRequest &request) { return offered = request.items, listener; });
        const auto answered = qScopeGuard([] { SetChoiceAnswer(nullptr); });
        Choose(QStringLiteral("Import profile..."), path);
        const QString message = Message();
        QCOMPARE(offered, listener.isEmpty() ? QStringList() : QStringList({"L1", "L2"}));
        QVERIFY2(message.contains(path) && message.contains(QLatin1String("Largest difference"))
                     && message.endsWith(messageEnd), qPrintable(message));
        const EqualizerSettings settings = mForm->session().Settings();
        QCOMPARE(settings.channels[0] == left, profile.endsWith(QLatin1String(".txt")));
        QVERIFY(std::abs(settings.channels[1].gains[40]) >= 5); // 2500 Hz
        QVERIFY(WindowSettings(mForm) == settings);
        QCOMPARE(QStringList({mForm->session().FilterChain(0), Control<QPlainTextEdit>(mForm, "Text3")->toPlainText()}), Chains(settings));
    }

    // The import is read while the window goes on; stopped, as closing the
    // window or a termination signal stops it, it changes nothing and
    // nothing more is said, whether the file was read yet or not.
    void importRunsBesideTheWindow_data()
    {
        QTest::addColumn<int>("filters");
        QTest::newRow("one filter") << 1;
        QTest::newRow("20000 filters") << 20000;
    }

    void importRunsBesideTheWindow()
    {
        QFETCH(int, filters);
        const QString path = mFiles.filePath(QStringLiteral("many.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int i = 0; i < filters; ++i)
            QVERIFY(file.write(QStringLiteral("Filter: ON PK Fc %1 Hz Gain 3 dB Q 4\n").arg(20 + i).toUtf8()) > 0);
        file.close();
        const EqualizerSettings before = mForm->session().Settings();
        Choose(QStringLiteral("Import profile..."), path);
        QVERIFY(mForm->Presets().ImportingProfile());
        Control<QSlider>(mForm, "LeftChanelSlider", 30)->setSliderPosition(-4);
        QVERIFY(mForm->session().Settings() != before);
        const EqualizerSettings moved = mForm->session().Settings();
        mForm->Presets().StopProfileImports();
        QVERIFY(!mForm->Presets().ImportingProfile());
        QCoreApplication::processEvents();
        QCOMPARE(Message(), QString());
        QVERIFY(mForm->session().Settings() == moved);
    }

    void exportAtTheSourceRateFromTheLastFolder()
    {
        Control<QSlider>(mForm, "RightChanelSlider", 50)->setSliderPosition(-4);
        Control<QSlider>(mForm, "RightChanelSlider", 20)->setSliderPosition(-2);
        Control<QDoubleSpinBox>(mForm, "PreampBox", 1)->setValue(-3.5);
        Control<QCheckBox>(mForm, "AsDrawnBox")->setChecked(true);
        TakeSource(mForm->session(), [](Session::Source &s) { s.sampleRate = 22050; });
        Choose(QStringLiteral("Save As..."), mFiles.filePath(QStringLiteral("first.json")));
        Choose(QStringLiteral("Export profile..."), mFiles.filePath(QStringLiteral("curve.txt")));
        QCOMPARE(mAsked.directory, mFiles.path());
        QFile file(mFiles.filePath(QStringLiteral("curve.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), ProfileExport::Text(mForm->session().Settings(), 22050));
    }

    void lastSettingsThroughShutdown()
    {
        Control<QSlider>(mForm, "LeftChanelSlider", 12)->setSliderPosition(-9);
        Control<QRadioButton>(mForm, "Option1", 1)->setChecked(true);
        Control<QSlider>(mForm, "RightChanelSlider", 2)->setSliderPosition(5);
        const EqualizerSettings atExit = mForm->session().Settings();
        QPointer<MainWindow> closing(mForm);
        mForm->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        mWindow->form = closing.data();

        StartWindow();
        QVERIFY(mForm->session().Settings() == EqualizerSettings());
        Choose(QStringLiteral("Last settings"));
        QVERIFY(mForm->session().Settings() == atExit);
        QVERIFY(WindowSettings(mForm) == atExit);
    }

    // On a full disk the file keeps its bytes, nothing is left beside it,
    // and the window (at exit: standard error) names it and the reason.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("entry"); // a "Presets" entry; empty: Brenvox ends
        QTest::addColumn<QString>("file");  // on the full file system
        QTest::newRow("preset") << "Save As..." << "p.json";
        QTest::newRow("profile") << "Export profile..." << "p.txt";
        QTest::newRow("last settings at exit") << "" << "Brenvox/last-settings.json";
    }

    void fullDisk()
    {
        QFETCH(QString, entry);
        QFETCH(QString, file);
        const QString dir = mFiles.filePath(QStringLiteral("full"));
        const QString path = dir + QLatin1Char('/') + file;
        const bool mounted = QDir().mkpath(dir) && ::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=64k") == 0;
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
        });
        if (!mounted)
            QSKIP("mounting a tmpfs needs root");
        const QByteArray before = "the user's own file\n";
        QFile old(path), filler(dir + QStringLiteral("/filler"));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()) && old.open(QIODevice::WriteOnly) && old.write(before) > 0
                && old.flush() && filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
        QString message;
        if (entry.isEmpty()) {
            QProcess brenvox;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir);
            environment.insert(QStringLiteral("TMPDIR"), mFiles.path());
            brenvox.setProcessEnvironment(environment);
            brenvox.start(TestAppFolder::binFolder() + QStringLiteral("/brenvox"), QStringList());
            QTRY_VERIFY_WITH_TIMEOUT(!QDir(mFiles.path()).entryList({QStringLiteral("brenvox-*")}, QDir::Dirs).isEmpty(), 20000);
            ::kill(pid_t(brenvox.processId()), SIGTERM);
            QVERIFY(brenvox.waitForFinished(20000));
            message = QString::fromLocal8Bit(brenvox.readAllStandardError());
        } else {
            Choose(entry, path);
            message = Message();
        }
        QVERIFY2(message.contains(path) && message.contains(QLatin1String("No space left on device")), qPrintable(message));
        QCOMPARE(TestAppFolder::fileBytes(path), before);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".")).size(), 1);
    }
};

QTEST_MAIN(tst_Form1Presets)
#include "tst_form1_presets.moc"
