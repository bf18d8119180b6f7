// Preset files: every setting survives a save and a load; a bad file changes
// nothing and says why.
#include "core/equalizer/EqualizerModel.h"
#include "core/presets/PresetFile.h"

#include "PresetTestData.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class tst_PresetFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    static QByteArray WithChange(const char *from, const char *to)
    {
        QByteArray json = PresetFile::ToJson(EqualizerSettings());
        const int at = json.indexOf(from);
        return at < 0 ? QByteArray() : json.replace(at, int(strlen(from)), to);
    }

private slots:
    void roundTrip()
    {
        QRandomGenerator random(2024);
        const QString path = mDir.filePath(QStringLiteral("round.json"));
        for (int round = 0; round < 300; ++round) {
            const EqualizerSettings saved = RandomSettings(random);
            QString message;
            QVERIFY2(PresetFile::Save(path, saved, &message), qPrintable(message));
            EqualizerSettings loaded;
            loaded.bandwidth = 0;
            QVERIFY2(PresetFile::Read(path, &loaded, &message), qPrintable(message));
            QVERIFY(loaded == saved);
            QCOMPARE(Chains(loaded), Chains(saved));
        }
    }

    void unknownKeysIgnored()
    {
        QByteArray json = WithChange("\"sync\": false", "\"sync\": true, \"colour\": \"blue\"");
        EqualizerSettings settings;
        QString problem;
        QVERIFY2(PresetFile::FromJson(json, &settings, &problem), qPrintable(problem));
        QVERIFY(settings.sync);
    }

    // A version 1 file, before the options and the preamps.
    void optionsMissingInAnOlderFile()
    {
        EqualizerSettings both;
        both.avoidClipping = both.asDrawn = true;
        both.channels[1].preampTenths = -62;
        QByteArray json = PresetFile::ToJson(both);
        json.replace("\"as_drawn\": true,", "").replace("\"avoid_clipping\": true,", "").replace("\"version\": 2", "\"version\": 1");
        json = QString::fromUtf8(json).remove(QRegularExpression(QStringLiteral(",\\s*\"preamp_db\": [-.0-9]+"))).toUtf8();
        QVERIFY(!json.contains("preamp"));
        EqualizerSettings settings = both;
        QString problem;
        QVERIFY2(PresetFile::FromJson(json, &settings, &problem), qPrintable(problem));
        QVERIFY(settings == EqualizerSettings());
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QTest::newRow("empty") << QByteArray() << "the file is empty";
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "the file is not a text file";
        QTest::newRow("another tool's JSON") << QByteArray("{\"name\": \"flat\", \"bands\": [1, 2]}")
                                             << "the file is not a Brenvox preset";
        QTest::newRow("another tool's JSON in UTF-16") << QByteArray("\xff\xfe{\0}\0", 6)
                                                       << "the file is not a Brenvox preset";
        QTest::newRow("control bytes") << QByteArray("\x01\x02\x03\x04{}") << "the file is not a text file";
        QTest::newRow("truncated") << PresetFile::ToJson(EqualizerSettings()).left(300)
                                   << "the file is not valid JSON";
        QTest::newRow("version 99") << WithChange("\"version\": 2", "\"version\": 99")
                                    << "the file has version 99; this Brenvox reads version 2";
        QTest::newRow("gain out of range") << WithChange("            0,", "            14,")
                                           << "band 1 of the left channel is 14 dB, beyond the range of 12 dB";
        QTest::newRow("NaN") << WithChange("            0,", "            NaN,") << "the file is not valid JSON";
        QTest::newRow("half a dB") << WithChange("            0,", "            0.5,")
                                   << "gain 1 of the left channel is not a whole number";
        QTest::newRow("preamp +14 dB") << WithChange("\"preamp_db\": 0", "\"preamp_db\": 14")
                                       << "the left preamp is 140 tenths of a dB, not -30 to 12 dB";
        QTest::newRow("preamp 0.05 dB") << WithChange("\"preamp_db\": 0", "\"preamp_db\": 0.05")
                                        << "the left preamp is not a number of tenths of a dB";
        QTest::newRow("no level") << WithChange("\"level_position\": -4,", "") << "the left level is missing";
        QTest::newRow("bandwidth 0") << WithChange("\"bandwidth\": 1", "\"bandwidth\": 0")
                                     << "the bandwidth is 0, not 1 to 300";
        QTest::newRow("bandwidth 1e308") << WithChange("\"bandwidth\": 1", "\"bandwidth\": 1e308")
                                         << "the bandwidth is not a whole number";
        QTest::newRow("10 MB") << QByteArray(10 * 1024 * 1024, ' ')
                               << "the file is 10240 KB, more than a preset or profile can be (1024 KB)";
    }

    void badFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const QString path = mDir.filePath(QStringLiteral("bad.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();

        EqualizerModel model;
        model.SetGain(1, 5, 3);
        const EqualizerSettings before = model.Settings();
        QSignalSpy changes(&model, &EqualizerModel::channelChanged);
        QString message;
        QVERIFY(!PresetFile::Load(path, model, &message));
        QVERIFY2(message.startsWith(QStringLiteral("Cannot load the preset %1: %2").arg(path, problem)),
                 qPrintable(message));
        QVERIFY(model.Settings() == before);
        QCOMPARE(changes.size(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_PresetFile)
#include "tst_presetfile.moc"
