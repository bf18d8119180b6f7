// The options panel: output levels, EQ range, low cut, bandwidth, preview channel.
#include "ui/Colours.h"
#include "Controls.h"
#include "ui/mainwindow/MainWindow.h"
#include "app/Main.h"
#include "session/Session.h"
#include "core/equalizer/BandTable.h"

#include "core/tools/ChannelCommands.h"

#include "AudioMeasure.h"
#include "MainWindowTest.h"
#include "TestAppFolder.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include <memory>

namespace {

// Moves a slider so that its value changes even when it already stands there.
void MoveTo(QSlider *slider, int value)
{
    slider->setValue(value == slider->maximum() ? slider->minimum() : slider->maximum());
    slider->setValue(value);
}

} // namespace

class tst_Form1Options : public MainWindowTest
{
    Q_OBJECT

private slots:
    void levelTable_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("readout");
        QTest::addColumn<QString>("box");
        const struct { int position; const char *readout; const char *box; } rows[] = {
            {-10, "+2.5", "2.5"}, {-9, "+2.25", "2.25"}, {-8, "+2", "2"},       {-7, "+1.75", "1.75"},
            {-6, "+1.5", "1.5"},  {-5, "+1.25", "1.25"}, {-4, "+1", "1"},       {-3, "+0.75", "0.75"},
            {-2, "+0.5", "0.5"},  {-1, "+0.25", "0.25"}, {0, "-0", "-0"},       {1, "-0.25", "-0.25"},
            {2, "-0.5", "-0.5"},  {3, "-0.75", "-0.75"}, {4, "-1", "-1"},       {5, "-1.25", "-1.25"},
            {6, "-1.5", "-1.5"},  {7, "-1.75", "-1.75"}, {8, "-2", "-2"},       {9, "-2.25", "-2.25"},
            {10, "-2.5", "-2.5"},
        };
        for (const auto &row : rows)
            QTest::newRow(qPrintable(QString::number(row.position)))
                << row.position << QString::fromLatin1(row.readout) << QString::fromLatin1(row.box);
    }

    void levelTable()
    {
        QFETCH(int, position);
        QFETCH(QString, readout);
        QFETCH(QString, box);
        MoveTo(Control<QSlider>(mForm, "Slider1", 0), position);
        QCOMPARE(Control<QLabel>(mForm, "Label9", 0)->text(), readout);
        // ffmpeg plays the factor the readout shows; at or below 0, silence.
        const QTemporaryDir scratch;
        const QString tone = scratch.filePath(QStringLiteral("tone.wav")), out = scratch.filePath(QStringLiteral("out.wav"));
        QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=1000:d=0.2,volume=0.25"), tone));
        AudioMeasure::RunTool(QStringLiteral("ffmpeg"), ChannelCommands::RenderChannel(
            TestAppFolder::binFolder(), tone, mForm->session().Volume(0), QStringLiteral("anull"), out).arguments);
        const double shown = readout.toDouble(), playedDb = AudioMeasure::MeanVolumeDb(out, 0);
        QVERIFY2(shown > 0 ? std::abs(playedDb - AudioMeasure::MeanVolumeDb(tone, 0) - 20 * std::log10(shown)) < 0.1
                           : playedDb < -90, qPrintable(QString::number(playedDb)));
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), box);
        MoveTo(Control<QSlider>(mForm, "Slider1", 1), position);
        QCOMPARE(Control<QLabel>(mForm, "Label9", 1)->text(), readout);
        QCOMPARE(mForm->session().Volume(1), mForm->session().Volume(0));
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text3")->toPlainText(), box);
    }

    void levelTextStaysUntilTheNextRebuild()
    {
        MoveTo(Control<QSlider>(mForm, "Slider1", 0), 6);
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), QStringLiteral("-1.5"));
        Control<QSlider>(mForm, "LeftChanelSlider", 2)->setSliderPosition(-1);
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), mForm->session().FilterChain(0));
        QCOMPARE(mForm->session().Volume(0), 0.0);
    }

    void eqRangeSixFlattensEveryBand()
    {
        Control<QRadioButton>(mForm, "Option4", 1)->setChecked(true);
        Control<QSlider>(mForm, "LeftChanelSlider", 8)->setSliderPosition(-11);
        Control<QSlider>(mForm, "RightChanelSlider", 40)->setSliderPosition(9);

        Control<QRadioButton>(mForm, "Option1", 1)->setChecked(true);

        const Session &shared = mForm->session();
        for (int band = 0; band <= 64; ++band) {
            for (QSlider *slider : {Control<QSlider>(mForm, "LeftChanelSlider", band), Control<QSlider>(mForm, "RightChanelSlider", band)}) {
                QCOMPARE(slider->minimum(), -6);
                QCOMPARE(slider->maximum(), 6);
                QCOMPARE(slider->tickInterval(), 1);
                QCOMPARE(slider->value(), 0);
            }
            QCOMPARE(Control<QLabel>(mForm, "Label2", band)->text(), QStringLiteral("-0"));
            QCOMPARE(Control<QLabel>(mForm, "Label6", band)->text(), QStringLiteral("-0"));
            QCOMPARE(shared.State().LeftBandGain[band], QStringLiteral("-0"));
            QCOMPARE(shared.State().RightBandGain[band], QStringLiteral("-0"));
        }
        QCOMPARE(shared.FilterChain(1).count(QStringLiteral(":g=-0")), 65);
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text3")->toPlainText(), shared.FilterChain(1));
        QCOMPARE(BackColour(Control<QLabel>(mForm, "Label15", 1)), LampOnColour);
        QCOMPARE(BackColour(Control<QLabel>(mForm, "Label15", 0)), LampOffColour);

        // The narrower range still stops the handle at its ends.
        Control<QSlider>(mForm, "LeftChanelSlider", 8)->setSliderPosition(-12);
        QCOMPARE(Control<QLabel>(mForm, "Label2", 8)->text(), QStringLiteral("+6"));

        Control<QRadioButton>(mForm, "Option1", 0)->setChecked(true);
        QCOMPARE(Control<QSlider>(mForm, "LeftChanelSlider", 8)->minimum(), -12);
        QCOMPARE(Control<QSlider>(mForm, "LeftChanelSlider", 8)->tickInterval(), 2);
        QCOMPARE(shared.State().LeftBandGain[8], QStringLiteral("-0"));
    }

    void lowCut_data()
    {
        QTest::addColumn<bool>("sync");
        QTest::newRow("sync off") << false;
        QTest::newRow("sync on") << true;
    }

    void lowCut()
    {
        QFETCH(bool, sync);
        Control<QRadioButton>(mForm, "Option4", sync ? 1 : 0)->setChecked(true);
        Control<QSlider>(mForm, "LeftChanelSlider", 0)->setSliderPosition(-3);

        Control<QRadioButton>(mForm, "Option2", 1)->setChecked(true);
        const Session &shared = mForm->session();
        QVERIFY(shared.State().LowCutEnabled);
        for (const QString &chain : {shared.FilterChain(0), shared.FilterChain(1)}) {
            QVERIFY(chain.startsWith(BandTable::LowCutElement() + QStringLiteral(",equalizer=f=25:")));
            QCOMPARE(ChainElementCount(chain), 63);
            QVERIFY(!chain.contains(QStringLiteral("f=19:")));
        }
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), shared.FilterChain(0));
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text3")->toPlainText(), shared.FilterChain(1));
        QCOMPARE(BackColour(Control<QLabel>(mForm, "Label16", 1)), LampOnColour);
        QCOMPARE(shared.State().LeftBandGain[0], QStringLiteral("3"));

        Control<QRadioButton>(mForm, "Option2", 0)->setChecked(true);
        QVERIFY(!shared.State().LowCutEnabled);
        QCOMPARE(ChainElementCount(shared.FilterChain(0)), 65);
        QVERIFY(shared.FilterChain(0).startsWith(QStringLiteral("equalizer=f=19:width_type=o:width=1:g=3,")));
        QCOMPARE(shared.FilterChain(1).startsWith(QStringLiteral("equalizer=f=19:width_type=o:width=1:g=3,")), sync);
        QCOMPARE(BackColour(Control<QLabel>(mForm, "Label16", 0)), LampOnColour);
    }

    void bandwidth_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("readout");
        QTest::newRow("150") << 150 << " Bandwidth 150 hz";
        QTest::newRow("50") << 50 << " Bandwidth 050 hz";
        QTest::newRow("300") << 300 << " Bandwidth 300 hz";
        QTest::newRow("7") << 7 << " Bandwidth 007 hz";
    }

    void bandwidth()
    {
        QFETCH(int, position);
        QFETCH(QString, readout);
        Control<QSlider>(mForm, "LeftChanelSlider", 1)->setSliderPosition(2);
        const QString before = mForm->session().FilterChain(0);

        Control<QSlider>(mForm, "Slider2")->setValue(position);
        QCOMPARE(Control<QLabel>(mForm, "Label14")->text(), readout);
        QCOMPARE(Control<QSlider>(mForm, "Slider2")->toolTip(), Control<QLabel>(mForm, "Label14")->toolTip());
        QVERIFY(Control<QLabel>(mForm, "Label14")->toolTip().startsWith(QStringLiteral("Every band is %1 octaves wide").arg(position)));
        QCOMPARE(mForm->session().State().Bandwidth, position);
        // What is saved is what the curve shows, without waiting for a band move.
        QCOMPARE(mForm->session().FilterChain(0).count(QStringLiteral(":width=%1:").arg(position)), 65);
        QCOMPARE(mForm->session().FilterChain(1).count(QStringLiteral(":width=%1:").arg(position)), 65);
        QCOMPARE(Control<QPlainTextEdit>(mForm, "Text2")->toPlainText(), mForm->session().FilterChain(0));
        QVERIFY(before.contains(QStringLiteral(":width=1:g=-2")));
        QVERIFY(mForm->session().FilterChain(0).contains(QStringLiteral(":width=%1:g=-2").arg(position)));
    }

    void previewChannel_data()
    {
        QTest::addColumn<int>("choice");
        QTest::newRow("right only") << 1;
        QTest::newRow("both chanels") << 2;
        QTest::newRow("left only") << 0;
    }

    void previewChannel()
    {
        QFETCH(int, choice);
        Control<QRadioButton>(mForm, "Option3", choice == 0 ? 1 : 0)->setChecked(true);
        Control<QRadioButton>(mForm, "Option3", choice)->setChecked(true);
        QCOMPARE(mForm->session().PreviewChannel(), qint16(choice));
        for (int lamp = 0; lamp < 3; ++lamp)
            QCOMPARE(BackColour(Control<QLabel>(mForm, "Label17", lamp)), lamp == choice ? LampOnColour : LampOffColour);
    }
};

QTEST_MAIN(tst_Form1Options)
#include "tst_form1_options.moc"
