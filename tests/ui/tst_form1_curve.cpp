// The main window's curve and its options: the peak and the curve follow
// every change, the clip warning, "Avoid clipping" through the real export,
// and "As drawn" following a drag.
#include "core/equalizer/ChannelPlan.h"
#include "Controls.h"
#include "TakenSource.h"
#include "ui/ResponseCurveView.h"
#include "jobs/ExportJob.h"

#include "AudioMeasure.h"
#include "MainWindowTest.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QtTest>

#include <functional>
#include <memory>

using Change = std::function<void(MainWindow *)>;
Q_DECLARE_METATYPE(Change)

namespace {

constexpr int KilohertzBand = 29;

// The file's highest sample in dBFS, as ffmpeg's astats reads it.
double PeakDb(const QString &path)
{
    const QString output = AudioMeasure::RunTool(QStringLiteral("ffmpeg"),
        {"-i", path, "-af", "astats=measure_perchannel=none", "-f", "null", "-"}).output;
    const auto match = QRegularExpression(QStringLiteral("Peak level dB: (\\S+)")).match(output);
    return match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

// The import's end: the source's peak and rate, then its bands shown.
void Import(MainWindow *form, double peakDb, int sampleRate = 48000)
{
    TakeSource(form->session(), [&](Session::Source &s) {
        s.peakDb = peakDb;
        s.sampleRate = sampleRate;
    });
    form->ShowSourceBands();
}

} // namespace

class tst_Form1Curve : public MainWindowTest
{
    Q_OBJECT

private slots:
    void curveFollows_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("bandwidth") << Change([](MainWindow *f) { Control<QSlider>(f, "Slider2")->setValue(3); });
        QTest::newRow("low cut") << Change([](MainWindow *f) { Control<QRadioButton>(f, "Option2", 1)->setChecked(true); });
        QTest::newRow("range") << Change([](MainWindow *f) { Control<QRadioButton>(f, "Option1", 1)->setChecked(true); });
        QTest::newRow("level") << Change([](MainWindow *f) { Control<QSlider>(f, "Slider1", 0)->setValue(-8); });
        QTest::newRow("undo") << Change([](MainWindow *f) { f->UndoSettings(); });
        QTest::newRow("preset") << Change([](MainWindow *f) { f->session().LoadSettings(EqualizerSettings()); });
        QTest::newRow("22.05 kHz source") << Change([](MainWindow *f) { Import(f, std::nan(""), 22050); });
        QTest::newRow("300 octaves at 44.1 kHz") << Change([](MainWindow *f) {
            Import(f, std::nan(""), 44100);
            Control<QSlider>(f, "Slider2")->setValue(300);
            QVERIFY(Control<QLabel>(f, "StatusLine")->text().contains("bands 64 to 65 (19.4K to 20K) cannot act at 44100 Hz"));
        });
    }

    // From every left band at +1, each change reaches the peak text and the
    // curve's screen-reader text at once.
    void curveFollows()
    {
        QFETCH(Change, change);
        for (QSlider *band : Controls<QSlider>(mForm, "LeftChanelSlider"))
            band->setSliderPosition(-1);
        QCOMPARE(Control<QLabel>(mForm, "PeakLabel", 0)->text(), QStringLiteral("Left: Peak +12.7 dB"));
        const QString before = Control<ResponseCurveView>(mForm, "ResponseCurve")->accessibleDescription();
        change(mForm);
        QVERIFY(Control<ResponseCurveView>(mForm, "ResponseCurve")->accessibleDescription() != before);
        ChannelPlanner expected;
        expected.Update(mForm->session().Settings(), 0, mForm->session().SourceSampleRate(), mForm->session().SourcePeakDb());
        QCOMPARE(Control<QLabel>(mForm, "PeakLabel", 0)->text(), QLatin1String("Left: ") + ChannelPlanText::PeakText(expected.Plan(0)));
    }

    void clipWarning_data()
    {
        QTest::addColumn<double>("sourcePeakDb");
        QTest::addColumn<QString>("warning");
        QTest::newRow("-1 dBFS") << -1.0 << "Left channel may clip by up to 5.0 dB";
        QTest::newRow("-20 dBFS") << -20.0 << "";
    }

    void clipWarning()
    {
        QFETCH(double, sourcePeakDb);
        QFETCH(QString, warning);
        Control<QSlider>(mForm, "LeftChanelSlider", KilohertzBand)->setSliderPosition(-6);
        QCOMPARE(Control<QLabel>(mForm, "PeakLabel", 0)->text(), QStringLiteral("Left: Peak +6.0 dB"));
        QCOMPARE(Control<QLabel>(mForm, "ClipWarning")->text(), QString());
        Import(mForm, sourcePeakDb);
        QCOMPARE(Control<QLabel>(mForm, "ClipWarning")->text(), warning);
        Control<QSlider>(mForm, "LeftChanelSlider", KilohertzBand)->setSliderPosition(0);
        QCOMPARE(Control<QLabel>(mForm, "ClipWarning")->text(), QString());
    }

    void avoidClippingExport_data()
    {
        QTest::addColumn<bool>("avoid");
        QTest::newRow("without") << false;
        QTest::newRow("avoiding") << true;
    }

    // The -1 dBFS case through the window's chains and the real export.
    void avoidClippingExport()
    {
        QFETCH(bool, avoid);
        TestAppFolder &app = mWindow->app;
        QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
        Control<QSlider>(mForm, "LeftChanelSlider", KilohertzBand)->setSliderPosition(-6);
        Control<QSlider>(mForm, "RightChanelSlider", KilohertzBand)->setSliderPosition(-3);
        Import(mForm, -1);
        if (avoid)
            Control<QCheckBox>(mForm, "AvoidClippingBox")->click();
        QCOMPARE(Control<QLabel>(mForm, "ClipWarning")->text().isEmpty(), avoid);
        QCOMPARE(mForm->session().FilterChain(0).startsWith(QLatin1String("volume=-5.1dB,equalizer=")), avoid);

        // The levels and chains, as the session's export takes them.
        Session &session = mForm->session();
        QVERIFY(QDir().mkpath(app.scratchPath(QStringLiteral("work"))));
        const JobPaths paths = JobPaths::InFolder(app.scratchPath(QStringLiteral("work")));
        TakeSource(session, [&](Session::Source &s) {
            s.leftWav = paths.LeftSourceWav;
            s.rightWav = paths.RightSourceWav;
        });
        for (const QString &source : {paths.LeftSourceWav, paths.RightSourceWav})
            QVERIFY(AudioMeasure::Generate(QStringLiteral("aevalsrc=0.8913*sin(2*PI*1000*t):s=48000:d=1"), source));
        QVERIFY(std::abs(PeakDb(paths.LeftSourceWav) + 1) < 0.01);
        session.SetOutputFile(app.scratchPath(QStringLiteral("Mix.wav")));
        const auto job = session.NewExport(OutputReplacement::TemporaryOutput::Create(session.OutputFile()), false);
        QSignalSpy ended(job.get(), &ExportJob::ended);
        job->SaveChanels();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
        QVERIFY(ended.at(0).at(0).toBool());
        const double peak = PeakDb(session.OutputFile());
        QVERIFY2(avoid ? peak < -0.04 && peak > -0.3 : peak > -0.01, qPrintable(QString::number(peak)));
        // Both ears lowered alike: at the band's centre the sliders' 3 dB
        // between them is what plays. Without the cut both clip.
        const double difference = AudioMeasure::MeanVolumeDb(session.OutputFile(), 0)
            - AudioMeasure::MeanVolumeDb(session.OutputFile(), 1);
        QVERIFY2(!avoid || std::abs(difference - 3) < 0.15, qPrintable(QString::number(difference)));
    }

    void asDrawn_data()
    {
        QTest::addColumn<QVector<int>>("positions"); // bands 20 on, negated gains
        QTest::addColumn<bool>("warned");
        QTest::newRow("smooth") << QVector<int>{-1, -2, -3, -3, -3, -2, -1} << false;
        QTest::newRow("jagged") << QVector<int>{-12, 12, -12, 12, -12, 12, -12} << true;
    }

    // With sync on a drag changes both channels: both chains carry the
    // solved gains, and a shape they cannot follow is told.
    void asDrawn()
    {
        QFETCH(QVector<int>, positions);
        QFETCH(bool, warned);
        Control<QRadioButton>(mForm, "Option4", 1)->setChecked(true);
        Control<QCheckBox>(mForm, "AsDrawnBox")->click();
        for (int i = 0; i < positions.size(); ++i)
            Control<QSlider>(mForm, "LeftChanelSlider", 20 + i)->setSliderPosition(positions[i]);
        const QRegularExpression solved(QStringLiteral(":g=-?\\d+\\.\\d,"));
        QVERIFY(mForm->session().FilterChain(1).contains(solved));
        QCOMPARE(mForm->session().FilterChain(0), mForm->session().FilterChain(1));
        const QRegularExpression told(QStringLiteral("^Left curve is off the sliders by up to \\d+\\.\\d dB at [0-9.]+ k?Hz\n"
                                                     "Right curve is off"));
        QCOMPARE(Control<QLabel>(mForm, "DeviationWarning")->text().contains(told), warned);
        QCOMPARE(Control<QLabel>(mForm, "DeviationWarning")->text().isEmpty(), !warned);
        // Off again, the chains are the sliders' own.
        Control<QCheckBox>(mForm, "AsDrawnBox")->click();
        QVERIFY(!mForm->session().FilterChain(0).contains(solved));
        QCOMPARE(Control<QLabel>(mForm, "DeviationWarning")->text(), QString());
    }
};

QTEST_MAIN(tst_Form1Curve)
#include "tst_form1_curve.moc"
