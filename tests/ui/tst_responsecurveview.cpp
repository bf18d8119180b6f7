// The curve view's texts for known settings, and that it paints them.
#include "core/equalizer/ChannelPlan.h"
#include "ui/ResponseCurveView.h"

#include <QApplication>
#include <QImage>
#include <QtTest>

#include <limits>

Q_DECLARE_METATYPE(EqualizerSettings)

namespace {

EqualizerSettings LeftAllAt(int gain)
{
    EqualizerSettings settings;
    settings.channels[EqualizerSettings::Left].gains.fill(gain);
    settings.channels[EqualizerSettings::Left].moved.fill(true);
    return settings;
}

// Whether the left channel's blue was painted anywhere.
bool HasLeftColour(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(0x1f, 0x5f, 0xbf))
                return true;
    return false;
}

} // namespace

class tst_ResponseCurveView : public QObject
{
    Q_OBJECT

private slots:
    void showsPeaks_data()
    {
        QTest::addColumn<EqualizerSettings>("settings");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<QString>("leftPeak");
        QTest::addColumn<QString>("rightPeak");
        QTest::addColumn<QString>("leftDeviation");
        QTest::newRow("every left band +1") << LeftAllAt(1) << 44100 << "Left peak +13.4 dB"
                                            << "Right peak +0.0 dB" << "Left curve off the sliders by up to 12.4 dB";
        EqualizerSettings silentRight = LeftAllAt(0);
        silentRight.channels[EqualizerSettings::Right].levelPosition = 3;
        silentRight.channels[EqualizerSettings::Left].levelPosition = -8;
        QTest::newRow("left doubled, right silent, no source")
            << silentRight << 0 << "Left peak +6.0 dB" << "Right channel silent"
            << "Left curve off the sliders by up to 0.0 dB";
        QTest::newRow("cuts, top bands left out at 22.05 kHz") << LeftAllAt(-2) << 22050 << "Left peak +0.0 dB"
                                                               << "Right peak +0.0 dB" << "Left curve off the sliders by up to 25.3 dB";
    }

    void showsPeaks()
    {
        QFETCH(EqualizerSettings, settings);
        QFETCH(int, sampleRate);
        QFETCH(QString, leftPeak);
        QFETCH(QString, rightPeak);
        QFETCH(QString, leftDeviation);
        ResponseCurveView view;
        view.resize(view.sizeHint());
        ChannelPlanner planner;
        for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
            planner.Update(settings, channel, sampleRate, std::numeric_limits<double>::quiet_NaN());
            view.ShowPlan(channel, sampleRate, planner.Plan(channel));
        }
        QCOMPARE(view.PeakText(EqualizerSettings::Left), leftPeak);
        QCOMPARE(view.PeakText(EqualizerSettings::Right), rightPeak);
        QCOMPARE(view.DeviationText(EqualizerSettings::Left), leftDeviation);
        QVERIFY(view.accessibleDescription().contains(leftPeak));
        QVERIFY(view.accessibleDescription().contains(rightPeak));
        QVERIFY(HasLeftColour(view.grab().toImage()));
    }
};

QTEST_MAIN(tst_ResponseCurveView)
#include "tst_responsecurveview.moc"
