// The model: what each operation changes and that it is announced once per
// channel.
#include "equalizer/EqualizerModel.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <map>

namespace {

using Operation = std::function<void(EqualizerModel &)>;

const std::map<QString, Operation> &Operations()
{
    static const std::map<QString, Operation> operations = {
        {"left gain", [](EqualizerModel &m) { m.SetGain(0, 10, 5); }},
        {"right slider", [](EqualizerModel &m) { m.SetBandSliderPosition(1, 10, 3); }},
        {"same gain again", [](EqualizerModel &m) { m.SetGain(1, 20, -2); }},
        {"left level", [](EqualizerModel &m) { m.SetLevelPosition(0, -8); }},
        {"range", [](EqualizerModel &m) { m.SetRange(6); }},
        {"same range", [](EqualizerModel &m) { m.SetRange(12); }},
        {"bandwidth", [](EqualizerModel &m) { m.SetBandwidth(40); }},
        {"sync on", [](EqualizerModel &m) { m.SetSync(true); }},
        {"low cut", [](EqualizerModel &m) { m.SetLowCut(true); }},
        {"every band in one batch", [](EqualizerModel &m) {
             EqualizerModel::Batch batch(&m);
             for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
                 EqualizerModel::Batch inner(&m);
                 m.SetGain(0, band, 1);
                 m.SetGain(1, band, -1);
             }
         }},
        {"whole settings", [](EqualizerModel &m) {
             EqualizerSettings settings = m.Settings();
             settings.channels[1].levelPosition = 0;
             m.SetSettings(settings);
         }},
        {"refused settings", [](EqualizerModel &m) {
             EqualizerSettings settings = m.Settings();
             settings.channels[0].gains[3] = 13;
             QVERIFY(!m.SetSettings(settings));
         }},
    };
    return operations;
}

} // namespace

class tst_EqualizerModel : public QObject
{
    Q_OBJECT

private slots:
    void notifications_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("syncOn");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("rightGains");
        QTest::newRow("left gain") << "left gain" << false << 1 << 0 << 0 << "0 -2";
        QTest::newRow("left gain, sync copies") << "left gain" << true << 1 << 1 << 0 << "5 0";
        QTest::newRow("right slider is the negated gain") << "right slider" << false << 0 << 1 << 0 << "-3 -2";
        QTest::newRow("nothing changed") << "same gain again" << false << 0 << 0 << 0 << "0 -2";
        QTest::newRow("level") << "left level" << false << 1 << 0 << 0 << "0 -2";
        QTest::newRow("range flattens both") << "range" << false << 1 << 1 << 1 << "0 0";
        QTest::newRow("range already chosen") << "same range" << false << 0 << 0 << 0 << "0 -2";
        QTest::newRow("bandwidth is in every chain") << "bandwidth" << false << 1 << 1 << 1 << "0 -2";
        QTest::newRow("sync copies left to right") << "sync on" << false << 0 << 1 << 1 << "0 0";
        QTest::newRow("low cut") << "low cut" << false << 1 << 1 << 1 << "0 -2";
        QTest::newRow("130 moves in nested batches") << "every band in one batch" << false << 1 << 1 << 0 << "-1 -1";
        QTest::newRow("whole settings") << "whole settings" << false << 0 << 1 << 0 << "0 -2";
        QTest::newRow("refused settings") << "refused settings" << false << 0 << 0 << 0 << "0 -2";
    }

    // Starts from the right channel's band 21 cut by 2 dB; rightGains lists
    // the right channel's bands 11 and 21 afterwards.
    void notifications()
    {
        QFETCH(QString, operation);
        QFETCH(bool, syncOn);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, options);
        QFETCH(QString, rightGains);
        EqualizerModel model;
        model.SetGain(1, 20, -2);
        model.SetSync(syncOn);
        QSignalSpy channels(&model, &EqualizerModel::channelChanged);
        QSignalSpy optionChanges(&model, &EqualizerModel::optionsChanged);

        Operations().at(operation)(model);

        int counts[2] = {0, 0};
        for (const QList<QVariant> &signal : channels)
            ++counts[signal.at(0).toInt()];
        QCOMPARE(counts[0], left);
        QCOMPARE(counts[1], right);
        QCOMPARE(optionChanges.size(), options);
        const ChannelSettings &rightChannel = model.Settings().channels[1];
        QCOMPARE(QStringLiteral("%1 %2").arg(rightChannel.gains[10]).arg(rightChannel.gains[20]), rightGains);
    }

    // The window's quirks the chains depend on: a range change and a low-cut
    // change leave every band moved, so centred bands write "-0".
    void movedAfterOptions()
    {
        EqualizerModel model;
        model.SetLowCut(true);
        QCOMPARE(model.Settings().GainText(0, 30), std::string("-0"));
        model.SetSettings(EqualizerSettings());
        model.SetRange(6);
        QCOMPARE(model.Settings().GainText(0, 0), std::string("-0"));
        QCOMPARE(model.Settings().GainText(1, 64), std::string("-0"));
        model.SetGain(0, 30, 40);
        QCOMPARE(model.Settings().channels[0].gains[30], 6);
    }
};

QTEST_GUILESS_MAIN(tst_EqualizerModel)
#include "tst_equalizermodel.moc"
