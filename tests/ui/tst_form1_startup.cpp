// Start-up: the pause, the workspace, the shared state and the window it leaves.
#include "core/system/AppFolder.h"
#include "Controls.h"
#include "TakenSource.h"
#include "ui/Colours.h"
#include "ui/mainwindow/MainWindow.h"
#include "app/Main.h"
#include "session/Session.h"
#include "core/equalizer/BandTable.h"

#include "StartedMainWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <vector>

#include <csignal>

namespace {

void WriteFile(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("left over");
}

} // namespace

class tst_Form1Startup : public QObject
{
    Q_OBJECT

private slots:
    void pauseShowsLoading()
    {
        QString captionDuringPause;
        bool panelsHiddenDuringPause = false;
        QTimer::singleShot(300, [&] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                auto *form = qobject_cast<MainWindow *>(window);
                if (form && form->isVisible()) {
                    captionDuringPause = form->windowTitle();
                    panelsHiddenDuringPause = !Control<QWidget>(form, "Picture1", 2)->isVisible() && !Control<QWidget>(form, "Picture1", 4)->isVisible()
                        && !Control<QScrollBar>(form, "HScroll1")->isVisible() && !Control<QWidget>(form, "CurvePanel")->isVisible() && !Control<QPushButton>(form, "PresetsButton")->isEnabled()
                        && !Control<QPushButton>(form, "Command2")->isEnabled() && !form->OpenGivenFiles({QCoreApplication::applicationFilePath()});
                }
            }
        });
        QElapsedTimer clock;
        clock.start();
        StartedMainWindow started(QStringLiteral("app"), [](TestAppFolder &) {}, true);
        QVERIFY(started.form && !started.started);
        QTRY_VERIFY_WITH_TIMEOUT(started.started, 5000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed > 1000 && elapsed < 2200, qPrintable(QString::number(elapsed)));
        QCOMPARE(captionDuringPause, QStringLiteral("Loading..."));
        QVERIFY(panelsHiddenDuringPause);
        QCOMPARE(started.form->windowTitle(), QStringLiteral("Brenvox"));
        QVERIFY(Control<QWidget>(started.form, "Picture1", 2)->isVisible());
        QVERIFY(Control<QWidget>(started.form, "Picture1", 4)->isVisible());
    }

    void stateAfterStartup()
    {
        StartedMainWindow started;
        MainWindow *form = started.form;
        const Session &shared = form->session();
        QCOMPARE(shared.Volume(0), 1.0);
        QCOMPARE(shared.Volume(1), 1.0);
        QCOMPARE(shared.State().Bandwidth, 1);
        QCOMPARE(shared.State().LowCutEnabled, false);
        QCOMPARE(shared.PreviewChannel(), qint16(0));
        for (int band = 0; band < BandTable::BandCount; ++band) {
            QCOMPARE(shared.State().LeftBandGain[band], QStringLiteral("0"));
            QCOMPARE(shared.State().RightBandGain[band], QStringLiteral("0"));
            QCOMPARE(Control<QLabel>(form, "Label1", band)->text(), BandTable::Caption(band));
            QCOMPARE(Control<QLabel>(form, "Label5", band)->text(), BandTable::Caption(band));
            QCOMPARE(Control<QLabel>(form, "Label2", band)->text(), QStringLiteral("00"));
            QCOMPARE(Control<QLabel>(form, "Label6", band)->text(), QStringLiteral("00"));
            QCOMPARE(Control<QSlider>(form, "LeftChanelSlider", band)->value(), 0);
        }
        QVERIFY(shared.FilterChain(0).isEmpty());
        QVERIFY(shared.FilterChain(1).isEmpty());

        QCOMPARE(form->windowTitle(), QStringLiteral("Brenvox"));
        QCOMPARE(form->HeightTwips(), 9345.0);
        QVERIFY(!Control<QWidget>(form, "Picture2")->isVisible());
        QCOMPARE(Control<QSlider>(form, "Slider1", 0)->value(), -4);
        QCOMPARE(Control<QLabel>(form, "Label9", 0)->text(), QStringLiteral("+1"));
        QCOMPARE(Control<QLabel>(form, "Label9", 1)->text(), QStringLiteral("+1"));
        QCOMPARE(Control<QPlainTextEdit>(form, "Text3")->toPlainText(), QStringLiteral("1"));
        QCOMPARE(Control<QLabel>(form, "Label14")->text(), QStringLiteral(" Bandwidth 001 hz"));
        const QVector<QLabel *> litLamps = {Control<QLabel>(form, "Label15", 0), Control<QLabel>(form, "Label16", 0), Control<QLabel>(form, "Label17", 0), Control<QLabel>(form, "Label19", 0)};
        const QVector<QLabel *> greyLamps = {Control<QLabel>(form, "Label15", 1), Control<QLabel>(form, "Label16", 1), Control<QLabel>(form, "Label17", 1),
                                             Control<QLabel>(form, "Label17", 2), Control<QLabel>(form, "Label19", 1)};
        for (QLabel *lamp : litLamps)
            QCOMPARE(BackColour(lamp), LampOnColour);
        for (QLabel *lamp : greyLamps)
            QCOMPARE(BackColour(lamp), LampOffColour);
        QVERIFY(Control<QRadioButton>(form, "Option3", 0)->isChecked());
        QVERIFY(Control<QRadioButton>(form, "Option4", 0)->isChecked());
    }

    // Two Brenvox processes started from one folder each work in a private
    // workspace, and each removes its own when asked to end; one that was
    // killed has its workspace removed by the next start.
    void workspacesArePrivateAndGoWithTheirProcess()
    {
        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        const QString abandoned = temporary.filePath(QStringLiteral("brenvox-dead00"));
        QVERIFY(QDir().mkpath(abandoned + QStringLiteral("/TempWavs")));
        WriteFile(abandoned + QStringLiteral("/in-use.lock"));

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const auto workspaces = [&temporary] {
            return QDir(temporary.path()).entryList({QStringLiteral("brenvox-*")}, QDir::Dirs | QDir::NoDotAndDotDot);
        };
        std::vector<std::unique_ptr<QProcess>> instances;
        for (int i = 0; i < 2; ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProcessEnvironment(environment);
            process->setProcessChannelMode(QProcess::ForwardedChannels);
            process->start(TestAppFolder::binFolder() + QStringLiteral("/brenvox"), QStringList());
            QVERIFY(process->waitForStarted());
            instances.push_back(std::move(process));
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(abandoned) && workspaces().size() == i + 1, 20000);
        }
        for (const QString &name : workspaces())
            QVERIFY(QFileInfo(temporary.filePath(name + QStringLiteral("/TempWavs"))).isDir());

        for (const auto &process : instances) {
            ::kill(pid_t(process->processId()), SIGTERM);
            QVERIFY(process->waitForFinished(10000));
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        }
        QCOMPARE(workspaces(), QStringList());
    }

    // The workspace goes under TMPDIR when that is a folder to write in, else /tmp; start-up
    // removes another one only when no process holds its lock (held ones: the test above).
    void workspaceHousekeeping_data()
    {
        QTest::addColumn<QString>("tmpdir"); // "" for a scratch folder
        QTest::addColumn<QString>("other");  // another workspace in the scratch folder
        QTest::newRow("lock free") << "" << "lock free";
        QTest::newRow("no lock file") << "" << "no lock file";
        QTest::newRow("TMPDIR missing") << "/nonexistent/tmp" << "";
        QTest::newRow("TMPDIR a device") << "/dev/null" << "";
        QTest::newRow("TMPDIR relative") << "tmp" << "";
    }

    void workspaceHousekeeping()
    {
        QFETCH(QString, tmpdir);
        QFETCH(QString, other);
        QTemporaryDir scratch;
        const QString target = scratch.filePath(QStringLiteral("brenvox-other"));
        QVERIFY(QDir().mkpath(target + QStringLiteral("/TempWavs")));
        if (other != QLatin1String("no lock file"))
            WriteFile(target + QStringLiteral("/in-use.lock"));
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmpdir.isEmpty() ? scratch.path() : tmpdir));
        PrepareWorkspace();
        const QString workspace = WorkspaceFolder();
        RemoveWorkspace();
        qputenv("TMPDIR", saved);
        QVERIFY(workspace.startsWith((tmpdir.isEmpty() ? scratch.path() : QStringLiteral("/tmp")) + QStringLiteral("/brenvox-")));
        QCOMPARE(QFileInfo::exists(target + QStringLiteral("/TempWavs")), other != QLatin1String("lock free"));
    }

    // Before anything is opened the window says which tools are missing and
    // where they were looked for.
    void missingToolsAreToldAtStartUp()
    {
        StartedMainWindow started(QStringLiteral("app"), [](TestAppFolder &app) {
            app.linkRealTool(QStringLiteral("ffmpeg"));
            app.removeTool(QStringLiteral("ffprobe")); // and off PATH
        });
        const QString status = Control<QLabel>(started.form, "StatusLine")->text();
        QVERIFY2(status.contains(QStringLiteral("Not found: ffprobe, ffplay.")), qPrintable(status));
        QVERIFY2(status.contains(started.app.path()), qPrintable(status));
    }

    void toolsBesideTheExecutableFirst_data()
    {
        QTest::addColumn<QString>("inAppFolder"); // "program", "text" or ""
        QTest::addColumn<bool>("onPath");
        QTest::addColumn<QString>("foundIn");
        QTest::newRow("beside the executable") << "program" << true << "app";
        QTest::newRow("only on PATH") << "" << true << "path";
        QTest::newRow("not executable beside it") << "text" << true << "path";
        QTest::newRow("nowhere: the executable's folder is named") << "" << false << "app";
    }

    void toolsBesideTheExecutableFirst()
    {
        QFETCH(QString, inAppFolder);
        QFETCH(bool, onPath);
        QFETCH(QString, foundIn);
        TestAppFolder app;
        QTemporaryDir pathFolder;
        const QString tool = QStringLiteral("brenvox-test-tool");
        if (inAppFolder == QLatin1String("program"))
            QVERIFY(app.writeTool(tool, "#!/bin/sh\n"));
        else if (inAppFolder == QLatin1String("text"))
            WriteFile(app.path() + QLatin1Char('/') + tool);
        if (onPath) {
            QFile program(pathFolder.filePath(tool));
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        }
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", "/nonexistent:" + pathFolder.path().toUtf8());
        const QString found = ToolFolder(tool);
        qputenv("PATH", savedPath);
        QCOMPARE(found, foundIn == QLatin1String("app") ? app.path() : pathFolder.path());
    }

    void sequencesDisableTheirButtons_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<bool>("imported");
        QTest::addColumn<QString>("enabled"); // Open, Preview, Save As, Reset

        QTest::newRow("nothing, no source") << "nothing" << false << "1001";
        QTest::newRow("nothing, source imported") << "nothing" << true << "1111";
        QTest::newRow("import or export") << "import or export" << true << "0000";
        QTest::newRow("preview") << "preview" << true << "0101";
    }

    // Nested scopes count; "Preview" reads "Stop" only during a preview.
    void sequencesDisableTheirButtons()
    {
        QFETCH(QString, running);
        QFETCH(bool, imported);
        QFETCH(QString, enabled);
        StartedMainWindow started;
        MainWindow *form = started.form;
        if (imported) {
            const SequenceScope import(&started.session);
            TakeSource(form->session(), [](Session::Source &s) {
                s.leftWav = WorkspaceFolder() + QStringLiteral("/Left.wav");
                s.rightWav = WorkspaceFolder() + QStringLiteral("/Right.wav");
            });
            WriteFile(form->session().LeftSourceWav());
            WriteFile(form->session().RightSourceWav());
        }
        const auto buttons = [form] {
            return QStringLiteral("%1%2%3%4").arg(Control<QPushButton>(form, "Command2")->isEnabled()).arg(Control<QPushButton>(form, "Command1", 0)->isEnabled())
                .arg(Control<QPushButton>(form, "Command1", 1)->isEnabled()).arg(Control<QPushButton>(form, "Command1", 2)->isEnabled());
        };
        {
            std::unique_ptr<SequenceScope> outer;
            if (running != QLatin1String("nothing")) {
                const bool preview = running == QLatin1String("preview");
                outer = std::make_unique<SequenceScope>(&started.session, preview);
                SequenceScope inner(&started.session, preview);
            }
            QCOMPARE(buttons(), enabled);
            QCOMPARE(Control<QPushButton>(form, "Command1", 0)->text(), running == QLatin1String("preview") ? "Stop" : "Preview");
            QCOMPARE(Control<QPushButton>(form, "Command1", 1)->toolTip(),
                     imported ? "Shortcut: Ctrl+S" : "Open a source first\nShortcut: Ctrl+S");
        }
        QCOMPARE(buttons(), imported ? "1111" : "1001");
        // A scope that outlives its window does nothing to it.
        auto scope = std::make_unique<SequenceScope>(&started.session);
        delete started.form;
        scope.reset();
    }
};

QTEST_MAIN(tst_Form1Startup)
#include "tst_form1_startup.moc"
