// The model: what each operation changes, and one notification per channel.
#include "core/equalizer/EqualizerModel.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <map>

namespace {

const std::map<QString, std::function<void(EqualizerModel &)>> Operations = {
    {"left gain", [](EqualizerModel &m) { m.SetGain(0, 10, 5); }},
    {"right slider", [](EqualizerModel &m) { m.SetBandSliderPosition(1, 10, 3); }},
    {"same gain", [](EqualizerModel &m) { m.SetGain(1, 20, -2); }},
    {"left level", [](EqualizerModel &m) { m.SetLevelPosition(0, -8); }},
    {"range 6", [](EqualizerModel &m) { m.SetRange(6); }},
    {"range 12", [](EqualizerModel &m) { m.SetRange(12); }},
    {"bandwidth", [](EqualizerModel &m) { m.SetBandwidth(40); }},
    {"sync on", [](EqualizerModel &m) { m.SetSync(true); }},
    {"announce right", [](EqualizerModel &m) {
         EqualizerModel::Batch batch(&m);
         m.Announce(1);
         m.Announce(1);
         m.Announce(2);
     }},
    {"low cut", [](EqualizerModel &m) { m.SetLowCut(true); }},
    {"batch", [](EqualizerModel &m) {
         EqualizerModel::Batch batch(&m);
         for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
             EqualizerModel::Batch inner(&m);
             m.SetGain(0, band, 1);
             m.SetGain(1, band, -1);
         }
     }},
    {"refused", [](EqualizerModel &m) {
         EqualizerSettings settings = m.Settings();
         settings.channels[0].gains[3] = 13;
         m.SetSettings(settings);
     }},
};

} // namespace

class tst_EqualizerModel : public QObject
{
    Q_OBJECT

private slots:
    // From the right channel's band 21 cut by 2 dB; rightTexts are the right
    // channel's gain texts of bands 11 and 21 afterwards.
    void operations_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("syncOn");
        QTest::addColumn<QList<int>>("notified"); // left, right, options
        QTest::addColumn<QString>("rightTexts");
        QTest::newRow("left gain") << "left gain" << false << QList<int>{1, 0, 0} << "0 -2";
        QTest::newRow("left gain, sync copies") << "left gain" << true << QList<int>{1, 1, 0} << "5 -0";
        QTest::newRow("slider is the negated gain") << "right slider" << false << QList<int>{0, 1, 0} << "-3 -2";
        QTest::newRow("nothing changed") << "same gain" << false << QList<int>{0, 0, 0} << "0 -2";
        QTest::newRow("level") << "left level" << false << QList<int>{1, 0, 0} << "0 -2";
        QTest::newRow("range flattens both") << "range 6" << false << QList<int>{1, 1, 1} << "-0 -0";
        QTest::newRow("range already chosen") << "range 12" << false << QList<int>{0, 0, 0} << "0 -2";
        QTest::newRow("bandwidth is in both chains") << "bandwidth" << false << QList<int>{1, 1, 1} << "0 -2";
        QTest::newRow("announced unchanged, once") << "announce right" << false << QList<int>{0, 1, 0} << "0 -2";
        QTest::newRow("sync copies left to right") << "sync on" << false << QList<int>{0, 1, 1} << "-0 -0";
        QTest::newRow("low cut moves every band") << "low cut" << false << QList<int>{1, 1, 1} << "-0 -2";
        QTest::newRow("130 moves, nested batches") << "batch" << false << QList<int>{1, 1, 0} << "-1 -1";
        QTest::newRow("beyond the range refused") << "refused" << false << QList<int>{0, 0, 0} << "0 -2";
    }

    void operations()
    {
        QFETCH(QString, operation);
        QFETCH(bool, syncOn);
        QFETCH(QList<int>, notified);
        QFETCH(QString, rightTexts);
        EqualizerModel model;
        model.SetGain(1, 20, -2);
        model.SetSync(syncOn);
        QSignalSpy channels(&model, &EqualizerModel::channelChanged);
        QSignalSpy options(&model, &EqualizerModel::optionsChanged);
        Operations.at(operation)(model);
        QList<int> counts{0, 0, int(options.size())};
        for (const QList<QVariant> &signal : channels)
            ++counts[signal.at(0).toInt()];
        QCOMPARE(counts, notified);
        const EqualizerSettings &settings = model.Settings();
        QCOMPARE(QString::fromStdString(settings.GainText(1, 10) + ' ' + settings.GainText(1, 20)), rightTexts);
    }
};

QTEST_GUILESS_MAIN(tst_EqualizerModel)
#include "tst_equalizermodel.moc"
