// Band sliders on the main window: readouts, chains, the left chanel sync and Reset.
#include "ui/Colours.h"
#include "Controls.h"
#include "TakenSource.h"
#include "ui/mainwindow/MainWindow.h"
#include "app/Main.h"
#include "session/Session.h"

#include "MainWindowTest.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include <memory>

class tst_Form1Bands : public MainWindowTest
{
    Q_OBJECT

private slots:
    void userMovesLeftBand_data()
    {
        QTest::addColumn<bool>("sync");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("readout");
        QTest::addColumn<QString>("gain");
        QTest::newRow("boost, sync off") << false << -5 << "+5" << "5";
        QTest::newRow("cut, sync off") << false << 5 << "-5" << "-5";
        QTest::newRow("centre, sync off") << false << 0 << "-0" << "-0";
        QTest::newRow("boost, sync on") << true << -5 << "+5" << "5";
        QTest::newRow("cut, sync on") << true << 12 << "-12" << "-12";
    }

    void userMovesLeftBand()
    {
        QFETCH(bool, sync);
        QFETCH(int, position);
        QFETCH(QString, readout);
        QFETCH(QString, gain);
        Control<QRadioButton>(mForm, "Option4", sync ? 1 : 0)->setChecked(true);
        Control<QSlider>(mForm, "RightChanelSlider", 20)->setSliderPosition(3);

        // A drag: the position moves before the value follows.
        Control<QSlider>(mForm, "LeftChanelSlider", 10)->setSliderPosition(7);
        Control<QSlider>(mForm, "LeftChanelSlider", 10)->setSliderPosition(position);

        const Session &shared = mForm->session();
        QCOMPARE(Control<QLabel>(mForm, "Label2", 10)->text(), readout);
        QCOMPARE(shared.State().LeftBandGain[10], gain);
        QVERIFY(shared.FilterChain(0).contains(QStringLiteral("equalizer=f=63:width_type=o:width=1:g=") + gain + ','));
        QCOMPARE(ChainElementCount(shared.FilterChain(0)), 65);
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), shared.FilterChain(0));
        if (sync) {
            for (int band = 0; band <= 64; ++band)
                QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", band)->value(), Control<QSlider>(mForm, "LeftChanelSlider", band)->value());
            QCOMPARE(Control<QLabel>(mForm, "Label6", 10)->text(), readout);
            QCOMPARE(shared.State().RightBandGain[10], gain);
            QCOMPARE(Control<QPlainTextEdit>(mForm, "Text3")->toPlainText(), shared.FilterChain(1));
            QVERIFY(shared.FilterChain(1).contains(QStringLiteral("f=313:width_type=o:width=1:g=-0,")));
        } else {
            QCOMPARE(Control<QLabel>(mForm, "Label6", 10)->text(), QStringLiteral("00"));
            QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", 20)->value(), 3);
            QCOMPARE(shared.State().RightBandGain[10], QStringLiteral("0"));
        }
    }

    // What the import does once the split is written: start-up's gains
    // become those of the sliders, each chain box redrawn once at most.
    void reapplyAllBands_data()
    {
        QTest::addColumn<bool>("sync");
        QTest::addColumn<QString>("rightGain40");
        QTest::newRow("sync off") << false << "-8";
        QTest::newRow("sync on") << true << "-0";
    }

    void reapplyAllBands()
    {
        QFETCH(bool, sync);
        QFETCH(QString, rightGain40);
        Control<QSlider>(mForm, "LeftChanelSlider", 29)->setSliderPosition(12);
        Control<QSlider>(mForm, "RightChanelSlider", 40)->setSliderPosition(8);
        if (sync)
            Control<QRadioButton>(mForm, "Option4", 1)->setChecked(true);
        int leftRedraws = 0;
        int rightRedraws = 0;
        connect(Control<QPlainTextEdit>(mForm, "Text2"), &QPlainTextEdit::textChanged, this, [&] { ++leftRedraws; });
        connect(Control<QPlainTextEdit>(mForm, "Text3"), &QPlainTextEdit::textChanged, this, [&] { ++rightRedraws; });

        mForm->session().ReapplyBands();

        const Session &shared = mForm->session();
        QCOMPARE(shared.State().LeftBandGain[29], QStringLiteral("-12"));
        QCOMPARE(shared.State().LeftBandGain[0], QStringLiteral("-0"));
        QCOMPARE(shared.State().RightBandGain[40], rightGain40);
        QCOMPARE(shared.State().RightBandGain[29], sync ? QStringLiteral("-12") : QStringLiteral("-0"));
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), shared.FilterChain(0));
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text3")->toPlainText(), shared.FilterChain(1));
        QCOMPARE(ChainElementCount(shared.FilterChain(1)), 65);
        QVERIFY2(leftRedraws <= 1 && rightRedraws <= 1,
                 qPrintable(QStringLiteral("%1 and %2 redraws").arg(leftRedraws).arg(rightRedraws)));
    }

    void keysMoveTheHandleTheWayItLooks()
    {
        QSlider *slider = Control<QSlider>(mForm, "LeftChanelSlider", 5);
        QTest::keyClick(slider, Qt::Key_Up);
        QCOMPARE(slider->value(), -1);
        QCOMPARE(Control<QLabel>(mForm, "Label2", 5)->text(), QStringLiteral("+1"));
        // A page is 3 dB.
        QTest::keyClick(slider, Qt::Key_PageDown);
        QCOMPARE(slider->value(), 2);
        QCOMPARE(mForm->session().State().LeftBandGain[5], QStringLiteral("-2"));
    }

    void syncChoicesCopyOnce()
    {
        Control<QSlider>(mForm, "LeftChanelSlider", 3)->setSliderPosition(-7);
        QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", 3)->value(), 0);

        Control<QRadioButton>(mForm, "Option4", 1)->setChecked(true);
        QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", 3)->value(), -7);
        QCOMPARE(mForm->session().State().RightBandGain[3], QStringLiteral("7"));
        QCOMPARE(BackColour(Control<QLabel>(mForm, "Label19", 1)), LampOnColour);
        QCOMPARE(BackColour(Control<QLabel>(mForm, "Label19", 0)), LampOffColour);

        // A right band moved with sync on leaves the left panel alone.
        Control<QSlider>(mForm, "RightChanelSlider", 3)->setSliderPosition(2);
        QCOMPARE(Control<QSlider>(mForm, "LeftChanelSlider", 3)->value(), -7);
        QCOMPARE(mForm->session().State().LeftBandGain[3], QStringLiteral("7"));

        // "OFF" copies the left panel once more, then leaves the sides apart.
        Control<QRadioButton>(mForm, "Option4", 0)->setChecked(true);
        QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", 3)->value(), -7);
        QCOMPARE(BackColour(Control<QLabel>(mForm, "Label19", 0)), LampOnColour);
        Control<QSlider>(mForm, "LeftChanelSlider", 3)->setSliderPosition(1);
        QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", 3)->value(), -7);
    }

    void resetRestoresEverything()
    {
        TakeSource(mForm->session(), [](Session::Source &s) { s.file = QStringLiteral("/music/song.wav"); });
        Control<QLineEdit>(mForm, "Text1")->setText(QStringLiteral("/music/other.wav"));
        Control<QSlider>(mForm, "LeftChanelSlider", 0)->setSliderPosition(-9);
        Control<QSlider>(mForm, "RightChanelSlider", 64)->setSliderPosition(4);
        Control<QSlider>(mForm, "Slider1", 0)->setValue(6);
        Control<QSlider>(mForm, "Slider1", 1)->setValue(-10);
        Control<QSlider>(mForm, "Slider2")->setValue(150);
        Control<QRadioButton>(mForm, "Option2", 1)->setChecked(true);
        Control<QRadioButton>(mForm, "Option3", 2)->setChecked(true);
        Control<QRadioButton>(mForm, "Option4", 1)->setChecked(true);
        Control<QRadioButton>(mForm, "Option1", 1)->setChecked(true);
        Control<QSlider>(mForm, "LeftChanelSlider", 30)->setSliderPosition(-6);

        Control<QPushButton>(mForm, "Command1", 2)->click();

        const Session &shared = mForm->session();
        for (int band = 0; band <= 64; ++band) {
            QCOMPARE(Control<QSlider>(mForm, "LeftChanelSlider", band)->value(), 0);
            QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", band)->value(), 0);
            QCOMPARE(Control<QSlider>(mForm, "LeftChanelSlider", band)->maximum(), 12);
            QCOMPARE(Control<QSlider>(mForm, "RightChanelSlider", band)->tickInterval(), 2);
            QCOMPARE(Control<QLabel>(mForm, "Label2", band)->text(), QStringLiteral("-0"));
            QCOMPARE(Control<QLabel>(mForm, "Label6", band)->text(), QStringLiteral("-0"));
            QCOMPARE(shared.State().LeftBandGain[band], QStringLiteral("0"));
            QCOMPARE(shared.State().RightBandGain[band], QStringLiteral("0"));
        }
        QCOMPARE(shared.FilterChain(0).count(QStringLiteral(":g=-0")), 65);
        QCOMPARE(shared.FilterChain(1).count(QStringLiteral(":g=-0")), 65);
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), shared.FilterChain(0));
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text3")->toPlainText(), shared.FilterChain(1));
        QCOMPARE(Control<QLineEdit>(mForm, "Text1")->text(), QStringLiteral("/music/song.wav"));
        QCOMPARE(Control<QSlider>(mForm, "Slider1", 0)->value(), -4);
        QCOMPARE(Control<QSlider>(mForm, "Slider1", 1)->value(), -4);
        QCOMPARE(Control<QLabel>(mForm, "Label9", 0)->text(), QStringLiteral("+1"));
        QCOMPARE(Control<QSlider>(mForm, "Slider2")->value(), 1);
        QCOMPARE(Control<QLabel>(mForm, "Label14")->text(), QStringLiteral(" Bandwidth 001 hz"));
        QCOMPARE(shared.Volume(0), 1.0);
        QCOMPARE(shared.Volume(1), 1.0);
        QCOMPARE(shared.State().Bandwidth, 1);
        QCOMPARE(shared.State().LowCutEnabled, false);
        QCOMPARE(shared.PreviewChannel(), qint16(0));
        for (const char *choices : {"Option1", "Option2", "Option3", "Option4"})
            QVERIFY(Control<QRadioButton>(mForm, choices, 0)->isChecked());
        for (const char *lamps : {"Label15", "Label16", "Label17", "Label19"}) {
            QCOMPARE(BackColour(Control<QLabel>(mForm, lamps, 0)), LampOnColour);
            QCOMPARE(BackColour(Control<QLabel>(mForm, lamps, 1)), LampOffColour);
        }
    }

    void resetWhenAlreadyReset()
    {
        // Nothing differs from the defaults; the chains are built all the same.
        mForm->ResetEqualizer();
        QCOMPARE(ChainElementCount(mForm->session().FilterChain(0)), 65);
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text3")->toPlainText(), mForm->session().FilterChain(1));
    }

    void previewLeavesResetEnabled()
    {
        SequenceScope running(&mForm->session(), true);
        QVERIFY(!Control<QPushButton>(mForm, "Command1", 1)->isEnabled());
        QVERIFY(Control<QPushButton>(mForm, "Command1", 2)->isEnabled());
        Control<QSlider>(mForm, "LeftChanelSlider", 1)->setSliderPosition(-2);
        Control<QPushButton>(mForm, "Command1", 2)->click();
        QCOMPARE(Control<QSlider>(mForm, "LeftChanelSlider", 1)->value(), 0);
    }
};

QTEST_MAIN(tst_Form1Bands)
#include "tst_form1_bands.moc"
