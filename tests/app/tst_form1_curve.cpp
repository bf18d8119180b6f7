// The main window's curve texts and options: the clip warning, "Avoid
// clipping" through the real ffmpeg, and "As drawn" following the sliders.
#include "curve/AsDrawn.h"
#include "curve/ChannelPlan.h"
#include "curve/ResponseCurveView.h"
#include "jobs/ExportJob.h"

#include "AudioMeasure.h"
#include "StartedMainWindow.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QtTest>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(std::function<void(Form1 *)>)

namespace {

constexpr int KilohertzBand = 29;

struct Ended : ExportObserver
{
    bool ended = false;
    bool completed = false;
    QString failure;
    void RowStarted(int) override {}
    void RowOutput(int, const QString &) override {}
    void RowCompleted(int) override {}
    void RowFailed(int, const QString &said) override { failure = said; }
    void RowStopped(int) override {}
    void ExportEnded(bool done) override { ended = true; completed = done; }
};

// The highest sample of the file in dBFS, as ffmpeg's astats reads it.
double PeakDb(const QString &path)
{
    const AudioMeasure::ToolResult run = AudioMeasure::RunTool(
        QStringLiteral("ffmpeg"), {QStringLiteral("-i"), path, QStringLiteral("-af"),
                                   QStringLiteral("astats=measure_perchannel=none"), QStringLiteral("-f"),
                                   QStringLiteral("null"), QStringLiteral("-")});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Peak level dB: (-?[0-9.]+|-inf)")).match(run.output);
    return match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

} // namespace

class tst_Form1Curve : public QObject
{
    Q_OBJECT

    std::unique_ptr<StartedMainWindow> mWindow;
    Form1 *mForm = nullptr;

    // The import's end: a source's peak and rate, then the bands shown.
    void Import(double peakDb, int sampleRate = 48000)
    {
        Shared().SourcePeakDb = peakDb;
        Shared().SourceSampleRate = sampleRate;
        mForm->ShowSourceBands();
    }

private slots:
    void init()
    {
        mWindow = std::make_unique<StartedMainWindow>();
        QVERIFY(mWindow->isValid());
        mForm = mWindow->form;
    }

    void cleanup() { mWindow.reset(); }

    void curveFollows_data()
    {
        QTest::addColumn<std::function<void(Form1 *)>>("change");
        QTest::newRow("bandwidth") << std::function<void(Form1 *)>([](Form1 *f) { f->Slider2->setValue(3); });
        QTest::newRow("low cut") << std::function<void(Form1 *)>([](Form1 *f) { f->Option2[1]->setChecked(true); });
        QTest::newRow("range") << std::function<void(Form1 *)>([](Form1 *f) { f->Option1[1]->setChecked(true); });
        QTest::newRow("level") << std::function<void(Form1 *)>([](Form1 *f) { f->Slider1[0]->setValue(-8); });
        QTest::newRow("undo") << std::function<void(Form1 *)>([](Form1 *f) { f->UndoSettings(); });
        QTest::newRow("preset") << std::function<void(Form1 *)>([](Form1 *) {
            EqualizerSettings settings;
            settings.channels[0].gains[40] = 9;
            settings.channels[0].moved[40] = true;
            Equalizer().SetSettings(settings);
        });
        QTest::newRow("22.05 kHz source") << std::function<void(Form1 *)>([](Form1 *f) {
            Shared().SourceSampleRate = 22050;
            f->ShowSourceBands();
        });
    }

    // From every left band at +1 (+12.7 dB at the peak at 48 kHz), each change reaches
    // the peak text, the curve and its screen-reader text at once.
    void curveFollows()
    {
        QFETCH(std::function<void(Form1 *)>, change);
        for (QSlider *band : mForm->LeftChanelSlider)
            band->setSliderPosition(-1);
        QCOMPARE(mForm->PeakLabel[0]->text(), QStringLiteral("Left: Peak +12.7 dB"));
        const QString before = mForm->ResponseCurve->accessibleDescription();
        change(mForm);
        QVERIFY(mForm->ResponseCurve->accessibleDescription() != before);
        ChannelPlanner expected;
        expected.Update(Equalizer().Settings(), 0, Shared().SourceSampleRate, Shared().SourcePeakDb);
        const ChannelPlan &plan = expected.Plan(0);
        const QString peak = ChannelPlanText::PeakText(plan);
        QCOMPARE(mForm->PeakLabel[0]->text(), QLatin1String("Left: ") + peak);
        QCOMPARE(mForm->ResponseCurve->PeakText(0), QLatin1String("Left peak") + peak.mid(4));
        QCOMPARE(mForm->ResponseCurve->DeviationText(0),
                 QStringLiteral("Left curve off the sliders by up to %1 dB")
                     .arg(AsDrawn::LargestDeviationDb(plan.chain, plan.curve, plan.sliderDb), 0, 'f', 1));
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
        QCOMPARE(mForm->PeakLabel[0]->text(), QStringLiteral("Left: Peak +0.0 dB"));
        mForm->LeftChanelSlider[KilohertzBand]->setSliderPosition(-6);
        QCOMPARE(mForm->PeakLabel[0]->text(), QStringLiteral("Left: Peak +6.0 dB"));
        QCOMPARE(mForm->PeakLabel[1]->text(), QStringLiteral("Right: Peak +0.0 dB"));
        QVERIFY(mForm->ResponseCurve->accessibleDescription().contains(QLatin1String("Left peak +6.0 dB")));
        QCOMPARE(mForm->ClipWarning->text(), QString());
        Import(sourcePeakDb);
        QCOMPARE(mForm->ClipWarning->text(), warning);
        // The level and the slider move it at once.
        mForm->Slider1[0]->setValue(-8);
        QCOMPARE(mForm->ClipWarning->text().isEmpty(), sourcePeakDb + 12 < 0);
        mForm->LeftChanelSlider[KilohertzBand]->setSliderPosition(0);
        mForm->Slider1[0]->setValue(-4);
        QCOMPARE(mForm->ClipWarning->text(), QString());
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
        TestAppFolder &app = mWindow->folder;
        QVERIFY(app.linkRealTool(QStringLiteral("ffmpeg")) && app.linkRealTool(QStringLiteral("ffprobe")));
        mForm->LeftChanelSlider[KilohertzBand]->setSliderPosition(-6);
        mForm->RightChanelSlider[KilohertzBand]->setSliderPosition(-6);
        Import(-1);
        if (avoid)
            mForm->AvoidClippingBox->click();
        QCOMPARE(mForm->AvoidClippingBox->isChecked(), avoid);
        QCOMPARE(mForm->ClipWarning->text().isEmpty(), avoid);
        QCOMPARE(Shared().LeftFilterChain.startsWith(QLatin1String("volume=-5.1dB,equalizer=")), avoid);

        ExportRequest request;
        QVERIFY(QDir().mkpath(app.scratchPath(QStringLiteral("work"))));
        request.paths = JobPaths::InFolder(app.scratchPath(QStringLiteral("work")));
        for (const QString &source : {request.paths.LeftSourceWav, request.paths.RightSourceWav})
            QVERIFY(AudioMeasure::Generate(QStringLiteral("aevalsrc=0.8913*sin(2*PI*1000*t):s=48000:d=1"), source));
        QVERIFY(std::abs(PeakDb(request.paths.LeftSourceWav) + 1) < 0.01);
        request.leftVolume = Shared().LeftVolume;
        request.rightVolume = Shared().RightVolume;
        request.leftChain = Shared().LeftFilterChain;
        request.rightChain = Shared().RightFilterChain;
        request.target = app.scratchPath(QStringLiteral("Mix.wav"));
        request.temporaryOutput = app.scratchPath(QStringLiteral(".Mix.wav.part.wav"));
        request.encoderFolder = request.proberFolder = app.path();
        QVERIFY(QFile(request.temporaryOutput).open(QIODevice::WriteOnly));
        Ended ended;
        ExportJob job(request, &ended);
        job.SaveChanels();
        QTRY_VERIFY_WITH_TIMEOUT(ended.ended, 60000);
        QVERIFY2(ended.completed, qPrintable(ended.failure));
        const double peak = PeakDb(request.target);
        if (avoid)
            QVERIFY2(peak < -0.04 && peak > -0.3, qPrintable(QString::number(peak)));
        else
            QVERIFY2(peak > -0.01, qPrintable(QString::number(peak)));
    }

    void asDrawn_data()
    {
        QTest::addColumn<QVector<int>>("positions"); // bands 20 on, negated gains
        QTest::addColumn<bool>("warned");
        QTest::newRow("smooth") << QVector<int>{-1, -2, -3, -3, -3, -2, -1} << false;
        QTest::newRow("jagged") << QVector<int>{0, 0, 0, -12, 0, 0, 0} << true;
    }

    // The solved gains reach the chain and follow a drag; a shape they
    // cannot follow is told.
    void asDrawn()
    {
        QFETCH(QVector<int>, positions);
        QFETCH(bool, warned);
        mForm->Option4[1]->setChecked(true); // sync: one move, both channels
        mForm->AsDrawnBox->click();
        QVERIFY(Equalizer().Settings().asDrawn);
        for (int i = 0; i < positions.size(); ++i)
            mForm->LeftChanelSlider[20 + i]->setSliderPosition(positions[i]);
        const QString chain = Shared().RightFilterChain;
        QVERIFY2(chain.contains(QRegularExpression(QStringLiteral(":g=-?\\d+\\.\\d,"))), qPrintable(chain));
        QCOMPARE(Shared().LeftFilterChain, chain);
        const QString deviation = mForm->DeviationWarning->text();
        QCOMPARE(deviation.isEmpty(), !warned);
        if (warned)
            QVERIFY2(deviation.startsWith(QLatin1String("Left curve is off the sliders by up to "))
                         && deviation.contains(QLatin1String("\nRight curve is off")),
                     qPrintable(deviation));
        // Off again: the chains are the sliders' own.
        mForm->AsDrawnBox->click();
        QVERIFY(!Shared().LeftFilterChain.contains(QRegularExpression(QStringLiteral(":g=-?\\d+\\.\\d"))));
        QCOMPARE(mForm->DeviationWarning->text(), QString());
    }
};

QTEST_MAIN(tst_Form1Curve)
#include "tst_form1_curve.moc"
