// Start-up: the pause, the workspace, the shared state and the window it leaves.
#include "app/AppFolder.h"
#include "app/Colours.h"
#include "app/Form1.h"
#include "app/Main.h"
#include "app/SharedState.h"
#include "equalizer/BandTable.h"

#include "TestAppFolder.h"

#include <QDir>
#include <QElapsedTimer>
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

namespace {

struct StartedWindow
{
    StartedWindow() { form = Main(); }
    ~StartedWindow()
    {
        delete form;
        ClearSharedState();
    }
    Form1 *form = nullptr;
};

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
    void init() { SkipLoadingPause(true); }

    void pauseShowsLoading()
    {
        TestAppFolder folder;
        SkipLoadingPause(false);
        QString captionDuringPause;
        bool panelsHiddenDuringPause = false;
        QTimer::singleShot(300, [&] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                auto *form = qobject_cast<Form1 *>(window);
                if (form && form->isVisible()) {
                    captionDuringPause = form->windowTitle();
                    panelsHiddenDuringPause = !form->Picture1[2]->isVisible() && !form->Picture1[4]->isVisible()
                        && !form->HScroll1->isVisible();
                }
            }
        });
        QElapsedTimer clock;
        clock.start();
        StartedWindow started;
        const qint64 elapsed = clock.elapsed();
        QVERIFY(started.form);
        QVERIFY2(elapsed > 1000 && elapsed < 2200, qPrintable(QString::number(elapsed)));
        QCOMPARE(captionDuringPause, QStringLiteral("Loading..."));
        QVERIFY(panelsHiddenDuringPause);
        QCOMPARE(started.form->windowTitle(), QStringLiteral("Brenvox"));
        QVERIFY(started.form->Picture1[2]->isVisible());
        QVERIFY(started.form->Picture1[4]->isVisible());
    }

    void stateAfterStartup()
    {
        TestAppFolder folder;
        StartedWindow started;
        Form1 *form = started.form;
        const SharedState &shared = Shared();
        QCOMPARE(shared.LeftVolume, qint16(1));
        QCOMPARE(shared.RightVolume, qint16(1));
        QCOMPARE(shared.Bandwidth, 1);
        QCOMPARE(shared.LowCutEnabled, false);
        QCOMPARE(shared.PreviewChannel, qint16(0));
        for (int band = 0; band < BandTable::BandCount; ++band) {
            QCOMPARE(shared.LeftBandGain[band], QStringLiteral("0"));
            QCOMPARE(shared.RightBandGain[band], QStringLiteral("0"));
            QCOMPARE(form->Label1[band]->text(), BandTable::Caption(band));
            QCOMPARE(form->Label5[band]->text(), BandTable::Caption(band));
            QCOMPARE(form->Label2[band]->text(), QStringLiteral("00"));
            QCOMPARE(form->Label6[band]->text(), QStringLiteral("00"));
            QCOMPARE(form->LeftChanelSlider[band]->value(), 0);
        }
        QVERIFY(shared.LeftFilterChain.isEmpty());
        QVERIFY(shared.RightFilterChain.isEmpty());
        QCOMPARE(shared.LeftOutWav, folder.path() + QStringLiteral("/TempWavs/Lout.wav"));
        QCOMPARE(shared.RightOutWav, folder.path() + QStringLiteral("/TempWavs/Rout.wav"));

        QCOMPARE(form->windowTitle(), QStringLiteral("Brenvox"));
        QCOMPARE(form->HeightTwips(), 6330.0);
        QVERIFY(!form->Picture2->isVisible());
        QCOMPARE(form->Slider1[0]->value(), -4);
        QCOMPARE(form->Label9[0]->text(), QStringLiteral("+1"));
        QCOMPARE(form->Label9[1]->text(), QStringLiteral("+1"));
        QCOMPARE(form->Label14->text(), QStringLiteral(" Bandwidth 001 hz"));
        const QVector<QLabel *> litLamps = {form->Label15[0], form->Label16[0], form->Label17[0], form->Label19[0]};
        const QVector<QLabel *> greyLamps = {form->Label15[1], form->Label16[1], form->Label17[1],
                                             form->Label17[2], form->Label19[1]};
        for (QLabel *lamp : litLamps)
            QCOMPARE(BackColour(lamp), LampOnColour);
        for (QLabel *lamp : greyLamps)
            QCOMPARE(BackColour(lamp), LampOffColour);
        QVERIFY(form->Option3[0]->isChecked());
        QVERIFY(form->Option4[0]->isChecked());
    }

    void workspaceIsRecreatedEmpty_data()
    {
        QTest::addColumn<QString>("leftOver");
        QTest::newRow("nothing") << "";
        QTest::newRow("folder with files") << "folder";
        QTest::newRow("plain file") << "file";
        QTest::newRow("link to a folder") << "link";
    }

    void workspaceIsRecreatedEmpty()
    {
        QFETCH(QString, leftOver);
        TestAppFolder folder;
        const QString workspace = folder.path() + QStringLiteral("/TempWavs");
        const QString elsewhere = folder.scratchPath(QStringLiteral("kept"));
        QVERIFY(QDir().mkpath(elsewhere));
        WriteFile(elsewhere + QStringLiteral("/keep.wav"));
        if (leftOver == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(workspace + QStringLiteral("/deeper")));
            WriteFile(workspace + QStringLiteral("/Left.wav"));
            WriteFile(workspace + QStringLiteral("/deeper/LR.wav"));
        } else if (leftOver == QLatin1String("file")) {
            WriteFile(workspace);
        } else if (leftOver == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere, workspace));
        }

        StartedWindow started;
        const QFileInfo entry(workspace);
        QVERIFY(entry.isDir());
        QVERIFY(!entry.isSymLink());
        QVERIFY(QDir(workspace).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
        // Whatever a link pointed at is not ours to delete.
        QVERIFY(QFile::exists(elsewhere + QStringLiteral("/keep.wav")));
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
        TestAppFolder folder;
        StartedWindow started;
        Form1 *form = started.form;
        if (imported) {
            const SequenceScope import(form);
            Shared().LeftSourceWav = WorkspaceFolder() + QStringLiteral("/Left.wav");
            Shared().RightSourceWav = WorkspaceFolder() + QStringLiteral("/Right.wav");
            WriteFile(Shared().LeftSourceWav);
            WriteFile(Shared().RightSourceWav);
        }
        const auto buttons = [form] {
            return QStringLiteral("%1%2%3%4").arg(form->Command2->isEnabled()).arg(form->Command1[0]->isEnabled())
                .arg(form->Command1[1]->isEnabled()).arg(form->Command1[2]->isEnabled());
        };
        {
            std::unique_ptr<SequenceScope> outer;
            if (running != QLatin1String("nothing")) {
                const bool preview = running == QLatin1String("preview");
                outer = std::make_unique<SequenceScope>(form, preview);
                SequenceScope inner(form, preview);
            }
            QCOMPARE(buttons(), enabled);
            QCOMPARE(form->Command1[0]->text(), running == QLatin1String("preview") ? "Stop" : "Preview");
            QCOMPARE(form->Command1[1]->toolTip(), imported ? "" : "Open a source first");
        }
        QCOMPARE(buttons(), imported ? "1111" : "1001");
        // A scope that outlives its window does nothing.
        auto scope = std::make_unique<SequenceScope>(form);
        delete started.form;
        started.form = nullptr;
        scope.reset();
    }
};

QTEST_MAIN(tst_Form1Startup)
#include "tst_form1_startup.moc"
