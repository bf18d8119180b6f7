// The low cut must really cut: measured through the real ffmpeg.
#include "core/equalizer/ChainText.h"
#include "core/equalizer/ChannelChain.h"

#include "AudioMeasure.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_LowCut : public QObject
{
    Q_OBJECT

private:
    static QString ChainFor(bool lowCut)
    {
        EqualizerSettings centred;
        centred.lowCut = lowCut;
        centred.channels[0].moved.fill(true);
        return ChainText::Render(ChannelChain::FromSettings(centred, 0, 0), true);
    }

    double LevelThrough(const QString &source, const QString &chain, const QString &name)
    {
        const QString output = mDir.filePath(name);
        const auto result = AudioMeasure::RunTool(QStringLiteral("ffmpeg"),
            {QStringLiteral("-y"), QStringLiteral("-i"), source, QStringLiteral("-af"),
             QStringLiteral("volume=1,") + chain, output});
        if (result.exitCode != 0)
            qWarning().noquote() << result.output.right(600);
        return AudioMeasure::MeanVolumeDb(output, 0);
    }

    QTemporaryDir mDir;

private slots:
    void tones_data()
    {
        QTest::addColumn<double>("hz");
        QTest::addColumn<double>("minimumCutDb");
        QTest::addColumn<double>("maximumCutDb");
        QTest::newRow("20 Hz is cut") << 20.0 << 4.0 << 1000.0;
        QTest::newRow("1 kHz passes") << 1000.0 << -0.1 << 0.1;
    }

    void tones()
    {
        QFETCH(double, hz);
        QFETCH(double, minimumCutDb);
        QFETCH(double, maximumCutDb);
        const QString source = mDir.filePath(QStringLiteral("tone.wav"));
        QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=%1:d=3").arg(hz), source));
        const double off = LevelThrough(source, ChainFor(false), QStringLiteral("off.wav"));
        const double on = LevelThrough(source, ChainFor(true), QStringLiteral("on.wav"));
        QVERIFY(std::isfinite(off));
        const double cut = off - on;
        QVERIFY2(cut >= minimumCutDb && cut <= maximumCutDb,
                 qPrintable(QStringLiteral("off %1 dB, on %2 dB").arg(off).arg(on)));
    }
};

QTEST_GUILESS_MAIN(tst_LowCut)
#include "tst_lowcut.moc"
