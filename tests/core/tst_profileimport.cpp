// Profiles onto the sliders: each sample's positions and reported error,
// worked out here from the cookbook formulas, and bad files that change
// nothing.
#include "core/equalizer/BandTable.h"
#include "core/equalizer/EqualizerModel.h"
#include "core/presets/ProfileImport.h"

#include "PresetTestData.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <map>

#include <sys/stat.h>

namespace {

enum Shape { Peak, LowShelf, HighShelf };
struct Part { Shape shape; double f0, gain, q; };

double Rate = 48000;

// The cookbook biquad's |H| in dB by the power formula, not a complex sum.
double CookbookDb(const Part &p, double f)
{
    const double w0 = 2 * M_PI * p.f0 / Rate, c = std::cos(w0), alpha = std::sin(w0) / (2 * p.q);
    const double a = std::pow(10, p.gain / 40), s = 2 * std::sqrt(a) * alpha, g = p.shape == LowShelf ? 1 : -1;
    const double b[3] = {p.shape == Peak ? 1 + alpha * a : a * ((a + 1) - g * (a - 1) * c + s),
                         p.shape == Peak ? -2 * c : g * 2 * a * ((a - 1) - g * (a + 1) * c),
                         p.shape == Peak ? 1 - alpha * a : a * ((a + 1) - g * (a - 1) * c - s)};
    const double d[3] = {p.shape == Peak ? 1 + alpha / a : (a + 1) + g * (a - 1) * c + s,
                         p.shape == Peak ? -2 * c : -g * 2 * ((a - 1) + g * (a + 1) * c),
                         p.shape == Peak ? 1 - alpha / a : (a + 1) + g * (a - 1) * c - s};
    const double w = 2 * M_PI * f / Rate;
    const auto power = [w](const double *k) {
        return k[0] * k[0] + k[1] * k[1] + k[2] * k[2] + 2 * (k[0] * k[1] + k[1] * k[2]) * std::cos(w)
            + 2 * k[0] * k[2] * std::cos(2 * w);
    };
    return 10 * std::log10(power(b) / power(d));
}

double QOfOctaves(double f0, double octaves)
{
    const double w0 = 2 * M_PI * f0 / Rate;
    return 1 / (2 * std::sinh(std::log(2.0) / 2 * octaves * w0 / std::sin(w0)));
}

// Straight lines over log frequency, flat outside.
double Between(const QList<QPointF> &points, double f)
{
    for (int i = 1; i < points.size(); ++i) {
        if (f <= points[i].x()) {
            const double t = std::log(f / points[i - 1].x()) / std::log(points[i].x() / points[i - 1].x());
            return points[i - 1].y() + std::max(0.0, t) * (points[i].y() - points[i - 1].y());
        }
    }
    return points.last().y();
}

// "f g" pairs as written in a GraphicEQ line.
QList<QPointF> GraphicPoints(const QString &file)
{
    QFile text(ProfilePath(file));
    text.open(QIODevice::ReadOnly);
    QList<QPointF> points;
    auto pairs = QRegularExpression(QStringLiteral("(\\d+) (-?[\\d.]+)")).globalMatch(QString::fromUtf8(text.readAll()));
    while (pairs.hasNext()) {
        const auto match = pairs.next();
        points << QPointF(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return points;
}

// What each sample file means, channel 0 left.
double Target(const QString &file, int channel, double f)
{
    const double shelfQ = 1 / std::sqrt(2.0);
    const QList<Part> tenBands = {{Peak, 31, 2.5, 1.41}, {Peak, 62, 3, 1.41}, {Peak, 125, 1, 1.41},
        {Peak, 250, -1.5, 1.41}, {Peak, 500, -2, 1.41}, {Peak, 1000, 0.5, 1.41}, {Peak, 2000, 2, 1.41},
        {Peak, 4000, 3.5, 1.41}, {Peak, 8000, -2.5, 1.41}, {Peak, 16000, 1, 1.41}};
    const QList<Part> parametric = {{LowShelf, 105, 5.5, 0.71}, {Peak, 210, -3.1, 0.9},
        {Peak, 3000, 4, QOfOctaves(3000, 1.5)}, {HighShelf, 10000, -2.4, 0.71}};
    const std::map<QString, QList<Part>> parts[2] = {
        {{"parametric.txt", parametric}, {"ten_bands.txt", tenBands},
         {"channels.txt", {{Peak, 1000, 6, 2}, {LowShelf, 80, 3, shelfQ}}}},
        {{"parametric.txt", parametric}, {"ten_bands.txt", tenBands},
         {"channels.txt", {{Peak, 500, -5, 1}, {LowShelf, 80, 3, shelfQ}}},
         {"right_only.txt", {{Peak, 2500, -7.3, 0.8}}}},
    };
    if (file == "audiogram.csv") {
        const double halfLevels[2][6] = {{5, 7.5, 10, 17.5, 25, 30}, {0, 5, 7.5, 15, 22.5, 35}};
        QList<QPointF> half;
        for (int i = 0; i < 6; ++i)
            half << QPointF(250 << i, halfLevels[channel][i]);
        return Between(half, f);
    }
    if (file.startsWith("graphic"))
        return Between(GraphicPoints(file), f);
    double sum = 0;
    const auto found = parts[channel].find(file);
    for (const Part &part : found == parts[channel].end() ? QList<Part>() : found->second)
        sum += CookbookDb(part, f);
    return sum;
}

} // namespace

class tst_ProfileImport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;

    // A left cut and a right boost that a profile for one ear must keep.
    static EqualizerSettings Before()
    {
        EqualizerSettings settings;
        settings.channels[0].gains[7] = -4;
        settings.channels[0].moved[7] = true;
        settings.channels[1].gains[60] = 2;
        settings.channels[1].moved[60] = true;
        return settings;
    }

private slots:
    void samples_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("range");
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("right");
        QTest::addColumn<QString>("alsoSays");
        QTest::newRow("parametric") << "parametric.txt" << 48000.0 << 12 << true << true
            << "Its preamp (-6.2 dB) is not applied: set the level by hand. Lines not used: "
               "9 \"Device: Speakers\"; 10 \"Filter 5: ON LP Fc 18000 Hz\".";
        QTest::newRow("parametric at 44.1 kHz, narrow range") << "parametric.txt" << 44100.0 << 6 << true << true << "";
        QTest::newRow("ten fixed bands") << "ten_bands.txt" << 48000.0 << 12 << true << true << "(-3.5 dB)";
        QTest::newRow("short graphic") << "graphic_short.txt" << 48000.0 << 12 << true << true << "";
        QTest::newRow("127-point graphic") << "graphic_127_points.txt" << 48000.0 << 12 << true << true << "";
        QTest::newRow("channel sections") << "channels.txt" << 48000.0 << 12 << true << true
            << "Its preamp (left -2.0 dB, right 0.0 dB) is not applied: set the level by hand. "
               "Lines not used: 9 \"Channel: C\" (no left or right channel).";
        QTest::newRow("right ear only") << "right_only.txt" << 48000.0 << 12 << false << true
                                        << "onto the right channel.";
        QTest::newRow("audiogram, half-gain") << "audiogram.csv" << 48000.0 << 12 << true << true
                                              << "as a comfort setting";
    }

    void samples()
    {
        QFETCH(QString, file);
        QFETCH(double, rate);
        QFETCH(int, range);
        QFETCH(bool, left);
        QFETCH(bool, right);
        QFETCH(QString, alsoSays);
        Rate = rate;
        EqualizerSettings before = Before();
        before.range = range;
        const ProfileImport::Result result = ProfileImport::ImportFile(ProfilePath(file), before, rate);
        QVERIFY2(result.ok, qPrintable(result.message));
        QVERIFY2(result.message.contains(alsoSays), qPrintable(result.message));
        const bool set[2] = {left, right};
        for (int channel = 0; channel < 2; ++channel) {
            QCOMPARE(result.channelsSet[channel], set[channel]);
            if (!set[channel]) {
                QVERIFY(result.settings.channels[channel] == before.channels[channel]);
                continue;
            }
            double largest = 0;
            for (int band = 0; band < BandTable::BandCount; ++band) {
                const double target = Target(file, channel, BandTable::FrequencyText(band).toDouble());
                const int expected = int(std::clamp(std::round(target), -double(range), double(range)));
                largest = std::max(largest, std::abs(target - expected));
                QCOMPARE(result.settings.channels[channel].gains[band], expected);
            }
            QVERIFY2(std::abs(result.largestDifferenceDb[channel] - largest) < 1e-6,
                     qPrintable(QStringLiteral("%1 against %2").arg(result.largestDifferenceDb[channel], 0, 'g', 15).arg(largest, 0, 'g', 15)));
            QVERIFY2(result.message.contains(QString::number(largest, 'f', 1) + QLatin1String(" dB")),
                     qPrintable(result.message));
        }
        QVERIFY(result.settings.channels[0].levelPosition == -4 && result.settings.range == range);
    }

    // A line with a value no profile holds is set aside and named; the rest
    // is imported as if it were not there.
    void outOfBounds_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("why");
        QTest::newRow("gain 1e308") << "Filter: ON PK Fc 90 Hz Gain 1e308 dB Q 1" << "Gain 1e308 is not within -100 to 100 dB";
        QTest::newRow("BW Oct at half the rate") << "Filter: ON PK Fc 23999 Hz Gain 3 dB BW Oct 2" << "BW Oct 2 gives no Q at Fc 23999 Hz";
        QTest::newRow("preamp -1e308") << "Preamp: -1e308 dB" << "Preamp -1e308 is not within -200 to 100 dB";
        QTest::newRow("GraphicEQ point inf") << "GraphicEQ: 20 0; 90 inf" << "point \"90 inf\" is not within 0 to 100000 Hz and -100 to 100 dB";
    }

    void outOfBounds()
    {
        QFETCH(QString, line);
        QFETCH(QString, why);
        const QString kept = QStringLiteral("Filter: ON PK Fc 1000 Hz Gain 6 dB Q 1\n");
        const ProfileImport::Result alone = ProfileImport::FromText(QStringLiteral("p.txt"), kept, Before(), 48000);
        const ProfileImport::Result result = ProfileImport::FromText(QStringLiteral("p.txt"), kept + line, Before(), 48000);
        QVERIFY(result.ok && result.settings == alone.settings);
        QCOMPARE(result.message, alone.message.chopped(1) + QStringLiteral(". Lines not used: 2 \"%1\" (%2).").arg(line, why));
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QTest::newRow("empty") << "empty.txt" << QByteArray("\n\n") << "the file is empty";
        QTest::newRow("binary") << "sound.txt" << QByteArray("RIFF\0\0\0\0WAVEfmt ", 16) << "the file is not a text file";
        QTest::newRow("another tool's JSON") << "other.txt" << QByteArray("{\n  \"preset\": \"rock\"\n}\n")
            << "it holds no Preamp, Filter or GraphicEQ line for the left or right channel";
        QTest::newRow("filter without a gain") << "p.txt" << QByteArray("Preamp: -3 dB\nFilter 1: ON PK Fc 100 Hz Q 1\n")
            << "line 2 (\"Filter 1: ON PK Fc 100 Hz Q 1\") has no Gain";
        QTest::newRow("filter without a width") << "p.txt" << QByteArray("Filter: ON PK Fc 100 Hz Gain 3 dB\n")
            << "line 1 (\"Filter: ON PK Fc 100 Hz Gain 3 dB\") has no Q or BW Oct";
        QTest::newRow("NaN") << "p.txt" << QByteArray("Filter: ON PK Fc 100 Hz Gain nan dB Q 1\n")
            << "it holds no Preamp, Filter or GraphicEQ line for the left or right channel within bounds; lines not "
               "used: 1 \"Filter: ON PK Fc 100 Hz Gain nan dB Q 1\" (Gain nan is not within -100 to 100 dB)";
        QTest::newRow("beyond half the rate") << "p.txt" << QByteArray("Filter: ON PK Fc 30000 Hz Gain 3 dB Q 1\n")
            << "line 1 (\"Filter: ON PK Fc 30000 Hz Gain 3 dB Q 1\") has Fc 30000 Hz, outside 0 to 24000 Hz";
        QTest::newRow("graphic without gain") << "g.txt" << QByteArray("GraphicEQ: 20 -1; 40; 80 2\n")
            << "line 1 (\"GraphicEQ: 20 -1; 40; 80 2\") has \"40\" where a frequency and a gain belong";
        QTest::newRow("audiogram level") << "a.csv" << QByteArray("hz,l,r\n500,10,200\n")
            << "line 2 (\"500,10,200\") has a level outside -20 to 120 dB HL";
        QTest::newRow("audiogram text") << "a.csv" << QByteArray("hz,l,r\n500,ten,20\n")
            << "line 2 (\"500,ten,20\") is not a frequency, a left and a right level";
        QTest::newRow("10 MB") << "big.txt" << QByteArray(10 * 1024 * 1024, '#')
            << "the file is 10240 KB, more than a preset or profile can be (1024 KB)";
        // Opening a FIFO without a writer must not wait for one.
        QTest::newRow("FIFO") << "fifo" << QByteArray() << "the file is not a regular file (a FIFO)";
        QTest::newRow("device") << "/dev/zero" << QByteArray() << "the file is not a regular file (a device)";
        QTest::newRow("folder") << "." << QByteArray() << "the file is not a regular file (a folder)";
    }

    void badInput()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const QString path = QDir(mDir.path()).filePath(name);
        QFile file(path);
        if (name == QLatin1String("fifo"))
            QVERIFY(QFile::exists(path) || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (!content.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
        file.close();

        EqualizerModel model;
        model.SetSettings(Before());
        QSignalSpy changes(&model, &EqualizerModel::channelChanged);
        QString message;
        QVERIFY(!ProfileImport::Load(path, model, &message));
        QCOMPARE(message, QStringLiteral("Cannot import the profile %1: %2.").arg(path, problem));
        QVERIFY(model.Settings() == Before());
        QCOMPARE(changes.size(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_ProfileImport)
#include "tst_profileimport.moc"
