// The response maths against the filters the real ffmpeg applies, and a
// profile's many filters at once against each filter alone.
#include "dsp/BiquadResponse.h"
#include "dsp/TargetCurve.h"

#include "AudioMeasure.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <complex>

using BiquadResponse::Filter;
using BiquadResponse::Kind;

Q_DECLARE_METATYPE(Filter)

class tst_BiquadResponse : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    // The filter's impulse response from ffmpeg, in double precision.
    QVector<double> ImpulseResponse(const QString &filter, int sampleRate)
    {
        const QString path = mDir.filePath(QStringLiteral("impulse.raw"));
        const auto result = AudioMeasure::RunTool(QStringLiteral("ffmpeg"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
             QStringLiteral("lavfi"), QStringLiteral("-i"),
             QStringLiteral("aevalsrc=if(eq(n\\,0)\\,1\\,0):s=%1:d=1").arg(sampleRate),
             QStringLiteral("-af"), filter, QStringLiteral("-f"), QStringLiteral("f64le"),
             QStringLiteral("-c:a"), QStringLiteral("pcm_f64le"), path});
        QFile file(path);
        if (result.exitCode != 0 || !file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        QVector<double> samples(bytes.size() / int(sizeof(double)));
        memcpy(samples.data(), bytes.constData(), size_t(samples.size()) * sizeof(double));
        return samples;
    }

    static double LevelDb(const QVector<double> &impulse, double frequency, int sampleRate)
    {
        std::complex<double> sum;
        for (int n = 0; n < impulse.size(); ++n)
            sum += impulse[n] * std::polar(1.0, -2 * M_PI * frequency * n / sampleRate);
        return 20 * std::log10(std::abs(sum));
    }

private slots:
    // Evaluated together, many filters give what each gives alone, summed:
    // steep gains neither overflow nor underflow, and a notch's centre
    // stays as deep as alone.
    void curveOfManyFilters_data()
    {
        QTest::addColumn<Filter>("filter");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("sampleRate");
        QTest::newRow("40 peaks at +100 dB") << Filter{Kind::Peaking, 1000, 100, 2} << 40 << 48000.0;
        QTest::newRow("40 peaks at -100 dB") << Filter{Kind::Peaking, 3000, -100, 8} << 40 << 48000.0;
        QTest::newRow("shelves at 44.1 kHz") << Filter{Kind::HighShelf, 9000, -12, 0.7} << 33 << 44100.0;
        QTest::newRow("notches") << Filter{Kind::Notch, 997, 0, 30} << 17 << 48000.0;
        QTest::newRow("low passes") << Filter{Kind::LowPass, 15000, 0, 0.707} << 3 << 96000.0;
    }

    void curveOfManyFilters()
    {
        QFETCH(Filter, filter);
        QFETCH(int, count);
        QFETCH(double, sampleRate);
        TargetCurve::Curve curve;
        for (int i = 0; i < count; ++i)
            curve.filters.push_back({filter.kind, filter.frequency * (1 + 0.001 * (i % 3)), filter.gainDb, filter.q});
        const std::vector<double> frequencies{20, 500, 997, 1000, 2990, 3000, 9000, 15000, 20000};
        const std::vector<double> together = TargetCurve::CurveDb(curve, frequencies, sampleRate);
        for (size_t i = 0; i < frequencies.size(); ++i) {
            const double alone = TargetCurve::CurveDb(curve, frequencies[i], sampleRate);
            QVERIFY2(together[i] == alone || std::abs(together[i] - alone) <= 1e-6 * std::max(1.0, std::abs(alone)),
                     qPrintable(QStringLiteral("%1 Hz: %2 dB, alone %3 dB").arg(frequencies[i]).arg(together[i]).arg(alone)));
        }
    }

    void matchesFfmpeg_data()
    {
        QTest::addColumn<QString>("ffmpegFilter");
        QTest::addColumn<Filter>("filter");
        QTest::addColumn<int>("sampleRate");
        const auto octave = [](double f, double octaves, int rate) {
            return BiquadResponse::QFromOctaves(f, octaves, rate);
        };
        QTest::newRow("band, one octave")
            << "equalizer=f=1000:width_type=o:width=1:g=6"
            << Filter{Kind::Peaking, 1000, 6, octave(1000, 1, 48000)} << 48000;
        QTest::newRow("band near the top, where w0/sin(w0) matters")
            << "equalizer=f=16000:width_type=o:width=1:g=-9"
            << Filter{Kind::Peaking, 16000, -9, octave(16000, 1, 44100)} << 44100;
        QTest::newRow("band by Q") << "equalizer=f=100:width_type=q:width=4:g=5"
                                   << Filter{Kind::Peaking, 100, 5, 4} << 48000;
        QTest::newRow("low shelf") << "lowshelf=f=200:width_type=q:width=0.7071:g=6"
                                   << Filter{Kind::LowShelf, 200, 6, 0.7071} << 48000;
        QTest::newRow("high shelf") << "highshelf=f=5000:width_type=q:width=0.7071:g=-4"
                                    << Filter{Kind::HighShelf, 5000, -4, 0.7071} << 48000;
        QTest::newRow("the low cut") << "highpass=f=25" << Filter{Kind::HighPass, 25, 0, 0.707} << 48000;
        QTest::newRow("low-pass") << "lowpass=f=18000:width_type=q:width=0.707" << Filter{Kind::LowPass, 18000, 0, 0.707} << 44100;
        QTest::newRow("band-pass") << "bandpass=f=700:width_type=q:width=2" << Filter{Kind::BandPass, 700, 0, 2} << 48000;
        QTest::newRow("notch") << "bandreject=f=50:width_type=q:width=5" << Filter{Kind::Notch, 50, 0, 5} << 48000;
        QTest::newRow("all-pass") << "allpass=f=3000:width_type=q:width=0.707" << Filter{Kind::AllPass, 3000, 0, 0.707} << 48000;
        QTest::newRow("low shelf by slope") << "lowshelf=f=90:width_type=s:width=0.9:g=7.5"
            << Filter{Kind::LowShelf, 90, 7.5, BiquadResponse::QFromShelfSlope(7.5, 0.9)} << 44100;
        QTest::newRow("high shelf by slope, a cut") << "highshelf=f=9000:width_type=s:width=0.5:g=-9"
            << Filter{Kind::HighShelf, 9000, -9, BiquadResponse::QFromShelfSlope(-9, 0.5)} << 48000;
    }

    void matchesFfmpeg()
    {
        QFETCH(QString, ffmpegFilter);
        QFETCH(Filter, filter);
        QFETCH(int, sampleRate);
        const QVector<double> impulse = ImpulseResponse(ffmpegFilter, sampleRate);
        QVERIFY(!impulse.isEmpty());
        for (const double ratio : {0.25, 0.7, 1.0, 1.3, 2.5}) {
            const double frequency = std::min(filter.frequency * ratio, sampleRate / 2.1);
            const double expected = LevelDb(impulse, frequency, sampleRate);
            const double response = BiquadResponse::ResponseDb(filter, frequency, sampleRate);
            // At a notch's centre both are rounding far below any sound.
            QVERIFY2(std::abs(response - expected) < 0.001 || std::max(response, expected) < -150,
                     qPrintable(QStringLiteral("%1 Hz: ffmpeg %2 dB, computed %3 dB")
                                    .arg(frequency).arg(expected).arg(response)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_BiquadResponse)
#include "tst_biquadresponse.moc"
