// Sources at every common sample rate, imported and exported through the
// windows with the real tools: flat settings give the source back, and one
// boosted band changes only its own region, also where the band table has
// bands at or above half the rate.
#include "Controls.h"
#include "ImportFixture.h"
#include "AudioMeasure.h"

#include "ui/FileDialogs.h"
#include "ui/mainwindow/MainWindow.h"
#include "session/Session.h"
#include "ui/ExportWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <cmath>

namespace {

using namespace AudioMeasure;

constexpr int Band1kHz = 29;

double LevelNear(const QString &path, int channel, double hz)
{
    return MeanVolumeDb(path, channel, QStringLiteral("bandpass=f=%1:width_type=q:w=8").arg(hz));
}

// "Save As" answered with 'path'; true when all three steps completed.
bool Export(MainWindow *form, const QString &path)
{
    SetFileDialogAnswer([path](const FileDialogRequest &) { return path; });
    Control<QPushButton>(form, "Command1", 1)->click();
    QPointer<ExportWindow> window = OpenWindow<ExportWindow>();
    if (!window)
        return false;
    const QStringList done{"Completed", "Completed", "Completed"};
    const auto statuses = [&window] {
        return QStringList{window->Label1[6]->text(), window->Label1[7]->text(), window->Label1[8]->text()};
    };
    QElapsedTimer waited;
    waited.start();
    while (window && statuses() != done && window->Label2->text().isEmpty() && waited.elapsed() < 60000)
        QTest::qWait(10);
    const bool completed = window && statuses() == done;
    if (window)
        window->close();
    SetFileDialogAnswer(FileDialogAnswer());
    return completed;
}

} // namespace

class tst_SampleRates : public QObject
{
    Q_OBJECT

private slots:
    void flatAndOneBand_data();
    void flatAndOneBand();
};

void tst_SampleRates::flatAndOneBand_data()
{
    QTest::addColumn<int>("rate");
    for (int rate : {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000, 96000, 192000})
        QTest::newRow(qPrintable(QString::number(rate))) << rate;
}

void tst_SampleRates::flatAndOneBand()
{
    QFETCH(int, rate);
    ImportFixture fixture;
    QVERIFY(fixture.isValid());
    const QString source = fixture.app.scratchPath(QStringLiteral("noise.wav"));
    QVERIFY(Generate(QStringLiteral("anoisesrc=color=pink:sample_rate=%1:seed=5:duration=2,"
                                    "aformat=channel_layouts=stereo,volume=0.3")
                         .arg(rate),
                     source));
    fixture.Open(source);
    QCOMPARE(fixture.WaitForEnd(), ImportFixture::End::Completed);
    QCOMPARE(fixture.session.SourceSampleRate(), rate);

    const QString flat = fixture.app.scratchPath(QStringLiteral("flat.wav"));
    QVERIFY(Export(fixture.form, flat));
    for (int channel : {0, 1}) {
        const double expected = MeanVolumeDb(source, channel);
        QVERIFY2(std::abs(MeanVolumeDb(flat, channel) - expected) < 0.1,
                 qPrintable(QStringLiteral("channel %1: %2 dB against %3 dB")
                                .arg(channel).arg(MeanVolumeDb(flat, channel)).arg(expected)));
    }

    SetByUser(Control<QSlider>(fixture.form, "LeftChanelSlider", Band1kHz), -6);
    const QString boosted = fixture.app.scratchPath(QStringLiteral("boosted.wav"));
    QVERIFY(Export(fixture.form, boosted));
    const double gain = LevelNear(boosted, 0, 1000) - LevelNear(source, 0, 1000);
    QVERIFY2(std::abs(gain - 6.0) < 1.0, qPrintable(QString::number(gain)));
    // Far below the band, and in the other channel, nothing changes.
    QVERIFY(std::abs(LevelNear(boosted, 0, 100) - LevelNear(source, 0, 100)) < 0.3);
    QVERIFY(std::abs(MeanVolumeDb(boosted, 1) - MeanVolumeDb(source, 1)) < 0.1);
}

QTEST_MAIN(tst_SampleRates)
#include "tst_samplerates.moc"
