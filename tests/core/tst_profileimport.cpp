// Profiles onto the sliders, played as drawn: what each sample plays
// through the real ffmpeg against its curve worked out here from the
// cookbook formulas, the message's figures and what it says the bands miss,
// Brenvox's own export read back, and bad files that change nothing.
#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChannelPlan.h"
#include "core/equalizer/EqualizerModel.h"
#include "core/presets/ProfileExport.h"
#include "core/presets/ProfileImport.h"

#include "../dsp/NoiseResponse.h"
#include "CookbookResponse.h"
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

double Rate = 48000;

// A shelf by its corner: slope S 0.9 unless a Q gives another by 1/Q = sqrt((A + 1/A)(1/S - 1) + 2);
// the centre lies |gain|/(80 S) decades above a low shelf's corner, below a high shelf's.
Part Corner(Shape shape, double corner, double gain, double q = 0)
{
    const double a = std::pow(10, gain / 40);
    const double slope = q > 0 ? 1 / ((1 / (q * q) - 2) / (a + 1 / a) + 1) : 0.9;
    const double shift = std::pow(10, std::abs(gain) / (80 * slope));
    return {shape, shape == LowShelf ? corner * shift : corner / shift, gain,
            q > 0 ? q : 1 / std::sqrt((a + 1 / a) * (1 / slope - 1) + 2)};
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

// Two columns of a file: "f g" pairs of a GraphicEQ line, or a CSV's
// frequency and equalization.
QList<QPointF> Columns(const QString &file, const QString &pattern)
{
    QFile text(ProfilePath(file));
    text.open(QIODevice::ReadOnly);
    QList<QPointF> points;
    auto pairs = QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(QString::fromUtf8(text.readAll()));
    while (pairs.hasNext()) {
        const auto match = pairs.next();
        points << QPointF(match.captured(1).toDouble(), match.captured(2).toDouble());
    }
    return points;
}

struct Expected
{
    double preampDb = 0;
    QList<Part> parts;
    QList<QPointF> graphic;
};

// What each sample file means, channel 0 left.
Expected Meaning(const QString &file, int channel)
{
    const QList<Part> both = {{LowShelf, 60, 2, 0.7}, {HighShelf, 12000, 2.5, 1 / std::sqrt(2.0)}};
    const std::map<QString, Expected> meanings[2] = {
        {{"config_mixed.txt", {-6.2, both + QList<Part>{{Peak, 250, -3.5, 0.9}, Corner(LowShelf, 120, 4), {HighPass, 22, 0, 0.6}}, {}}},
         {"split_preset.json", {-2.5, {{LowShelf, 105, 4.5, 0.7}, {Peak, 1200, -3, 1.5}, {Peak, 6500, 2, 2}}, {}}}},
        {{"config_mixed.txt", {-4.7, both + QList<Part>{{Peak, 1800, 3, 1.4}, Corner(HighShelf, 7000, -3, 0.8), {LowPass, 19000, 0, 0.707}}, {}}},
         {"split_preset.json", {-2.5, {{HighPass, 30, 0, 0.707}, {Peak, 3000, -4, 1.2}, {HighShelf, 8000, -2.5, 0.7}}, {}}},
         {"right_only.txt", {0, {{Peak, 2500, -7.3, 0.8}}, {}}}},
    };
    if (file == "config_narrow.txt")
        return {-2.1, {{Peak, 2300, -5.5, 3.2}, {Peak, 4100, -4, 4}, {Peak, 5600, 3, 2.5}}, {}};
    if (file == "types_devices.txt")
        return {-2, {{Notch, 60, 0, 30}, Corner(LowShelf, 150, 6), Corner(HighShelf, 5000, -5), {Peak, 8600, -7.2, 6},
                     Corner(HighShelf, 2000, 4, 0.6)}, {}};
    if (file.startsWith("graphic_"))
        return {0, {}, Columns(file, QStringLiteral("(\\d+) (-?[\\d.]+)"))};
    if (file == "equalization.csv") // lowered by its highest point, 3.99 dB
        return {-3.99, {}, Columns(file, QStringLiteral("^([\\d.]+),(?:[^,]*,){4}(-?[\\d.]+)"))};
    // Half of each ear's loss, both lowered by one offset until the largest is 12 dB.
    const std::map<QString, std::array<QList<QPointF>, 2>> audiograms = {
        {"audiogram.csv", {{{{250, 10}, {500, 15}, {1000, 20}, {2000, 35}, {4000, 50}, {8000, 60}},
                            {{250, 0}, {500, 10}, {1000, 15}, {2000, 30}, {4000, 45}, {8000, 70}}}}},
        {"audiogram_rows.csv", {{{{250, 35}, {500, 40}, {1000, 45}, {2000, 60}, {4000, 70}, {8000, 80}},
                                 {{250, 35}, {500, 35}, {2000, 50}, {4000, 55}, {8000, 60}}}}},
        {"audiogram.json", {{{{250, 20}, {500, 25}, {1000, 30}, {2000, 40}, {3000, 45}, {4000, 50}, {6000, 55}, {8000, 60}},
                             {{250, 15}, {500, 20}, {1000, 20}, {2000, 30}, {4000, 45}, {6000, 60}, {8000, 70}}}}},
    };
    const auto audiogram = audiograms.find(file);
    if (audiogram != audiograms.end()) {
        double largest = 0;
        for (const auto &ear : audiogram->second)
            for (const QPointF &level : ear)
                largest = std::max(largest, level.y() / 2);
        Expected half;
        for (const QPointF &level : audiogram->second[size_t(channel)])
            half.graphic << QPointF(level.x(), level.y() / 2 - (largest - 12));
        return half;
    }
    const auto found = meanings[channel].find(file);
    return found == meanings[channel].end() ? Expected() : found->second;
}

double CurveDb(const Expected &expected, double f)
{
    double sum = expected.graphic.isEmpty() ? 0 : Between(expected.graphic, f);
    for (const Part &part : expected.parts)
        sum += CookbookDb(part, f, Rate);
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
    void playsTheProfile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("alsoSays");
        QTest::newRow("text: decimal commas, glued units, every filter and channel") << "config_mixed.txt" << 48000.0
            << "Lines not used: 3 \"Include: extra.txt\" (other files are not read); 17 \"Channel: C\" (no left or right "
               "channel); 18 \"Filter: ON PK Fc 100 Hz Gain 6 dB Q 1\" (for channel C only).";
        QTest::newRow("text at 44.1 kHz") << "config_mixed.txt" << 44100.0 << "preamp is set: left -6.2 dB, right -4.7 dB";
        QTest::newRow("text: narrow cuts between 2 and 6 kHz") << "config_narrow.txt" << 48000.0 << "";
        QTest::newRow("text: default widths, corner shelves, a Q 6 cut, devices") << "types_devices.txt" << 48000.0
            << "8.3 kHz to 8.8 kHz (a notch narrower than the bands). Its preamp is set: -2.0 dB. Lines not used: 6 \"Filter: ON PK Fc 1000 Hz Gain 9 dB Q 1\" (for device Speakers only).";
        QTest::newRow("text: a curve below the range") << "graphic_low.txt" << 48000.0 << "so the preamp carries -13.0 dB of it";
        QTest::newRow("text: GraphicEQ") << "graphic_short.txt" << 48000.0 << "";
        QTest::newRow("text: the right ear only") << "right_only.txt" << 48000.0 << "onto the right channel";
        QTest::newRow("equalization CSV") << "equalization.csv" << 48000.0 << "";
        QTest::newRow("JSON preset, split channels") << "split_preset.json" << 48000.0
                                                       << "Lines not used: left band3 (type Resonance is not read).";
        QTest::newRow("audiogram, a column per ear") << "audiogram.csv" << 48000.0 << "set 23.0 dB below half";
        QTest::newRow("audiogram, a row per ear") << "audiogram_rows.csv" << 48000.0
                                                  << "4 \"B,L,10,10,10,10,10,10\" (another subject)";
        QTest::newRow("audiogram, JSON") << "audiogram.json" << 44100.0 << "set 23.0 dB below half";
    }

    // Where the curve lies within the range, what plays is within 2 dB of
    // it; the message's figure is never below the largest difference; an
    // audiogram's ears keep their difference.
    void playsTheProfile()
    {
        QFETCH(QString, file);
        QFETCH(double, rate);
        QFETCH(QString, alsoSays);
        Rate = rate;
        const ProfileImport::Result result = ProfileImport::ImportFile(ProfilePath(file), Before(), rate);
        QVERIFY2(result.ok && result.settings.asDrawn && result.message.contains(alsoSays), qPrintable(result.message));
        const QString said = result.message.section(QStringLiteral("what plays: "), 1).section(QStringLiteral(" dB."), 0, 0);
        QVector<double> frequencies;
        for (double f = 25; f < std::min(16000.0, 0.4 * rate); f *= std::pow(2, 0.25))
            frequencies << f;
        for (const Part &part : Meaning(file, 0).parts) // where a narrow cut is deepest
            frequencies << (part.shape == Peak ? part.f0 : 25);
        QTemporaryDir folder;
        QVector<double> played[2];
        for (int channel = 0; channel < 2; ++channel) {
            const Expected expected = Meaning(file, channel);
            if (!result.channelsSet[channel]) {
                QVERIFY(file == "right_only.txt" && result.settings.channels[channel] == Before().channels[channel]);
                continue;
            }
            played[channel] = NoiseResponse::MeasureDb(Chains(result.settings, int(rate))[channel], int(rate), frequencies, folder.path());
            QCOMPARE(played[channel].size(), frequencies.size());
            const auto named = QRegularExpression(QLatin1String(channel ? "right " : "left ") + QLatin1String("([\\d.]+)")).match(said);
            const double figure = (named.hasMatch() ? named.captured(1) : said).toDouble();
            QVERIFY2(figure > 0, qPrintable(said));
            for (int i = 0; i < frequencies.size(); ++i) {
                const double f = frequencies[i];
                const double miss = played[channel][i] - expected.preampDb - CurveDb(expected, f);
                bool inRange = true; // within half an octave
                for (double g = f / std::sqrt(2.0); g <= f * std::sqrt(2.0); g *= std::pow(2, 0.05))
                    inRange = inRange && std::abs(CurveDb(expected, g)) <= 12;
                for (const Part &part : expected.parts) // narrower than the bands, and named
                    inRange = inRange && (part.q < 6 || std::abs(std::log2(f / part.f0)) > 0.2);
                QVERIFY2(!inRange || std::abs(miss) <= 2, qPrintable(QStringLiteral("%1 Hz: %2 dB off").arg(f).arg(miss)));
                QVERIFY2(std::abs(miss) <= figure + 0.05, qPrintable(QStringLiteral("%1 Hz: %2 dB, said %3").arg(f).arg(miss).arg(figure)));
            }
        }
        // Exported with the low cut on, it reads back as the same settings.
        EqualizerSettings cut = result.settings;
        cut.lowCut = true;
        const ProfileImport::Result back = ProfileImport::FromText(QStringLiteral("export.txt"), ProfileExport::Text(cut, rate), EqualizerSettings(), rate);
        QVERIFY2(back.ok && back.settings == cut, qPrintable(back.message));
        if (!file.startsWith(QLatin1String("audiogram")))
            return;
        QVERIFY(result.settings.avoidClipping && result.message.contains(QLatin1String("not a hearing aid")));
        for (int i = 0; i < frequencies.size(); ++i) {
            const double f = frequencies[i];
            const double left = CurveDb(Meaning(file, 0), f), right = CurveDb(Meaning(file, 1), f);
            if (std::abs(left) < 11 && std::abs(right) < 11)
                QVERIFY2(std::abs(played[0][i] - played[1][i] - (left - right)) <= 2, qPrintable(QString::number(f)));
        }
    }

    // Where the bands cannot follow is named, with why.
    void saysWhereTheBandsCannotFollow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("lowCut");
        QTest::addColumn<QString>("says");
        QTest::newRow("a narrow cut") << "Filter: ON PK Fc 4500 Hz Gain -6 dB Q 8" << false
                                      << "from 4.4 kHz to 4.7 kHz (a notch narrower than the bands)";
        QTest::newRow("a notch filter") << "Filter: ON NO Fc 50 Hz Q 8" << false << "(a notch narrower than the bands)";
        QTest::newRow("a narrow boost") << "Filter: ON PK Fc 700 Hz Gain 9 dB Q 9" << false << "(a peak narrower than the bands)";
        QTest::newRow("beyond the range") << "Filter: ON HSC Fc 8000 Hz Gain 16 dB\nFilter: ON LSC Fc 80 Hz Gain -16 dB" << false
                                          << "kHz to 20.0 kHz (beyond the \u00b112 dB range)";
        QTest::newRow("the low cut") << "Filter: ON PK Fc 1000 Hz Gain 3 dB Q 1" << true << "(the low cut is on)";
        QTest::newRow("a preamp beyond the control") << "Preamp: -35 dB\nFilter: ON PK Fc 1000 Hz Gain 3 dB Q 1" << false
            << "Its preamp (-35.0 dB) lies beyond -30 to 12 dB: the preamp is set to -30.0 dB";
    }

    void saysWhereTheBandsCannotFollow()
    {
        QFETCH(QString, text);
        QFETCH(bool, lowCut);
        QFETCH(QString, says);
        EqualizerSettings before;
        before.lowCut = lowCut;
        const ProfileImport::Result result = ProfileImport::FromText(QStringLiteral("p.txt"), text, before, 48000);
        QVERIFY2(result.ok && result.message.contains(says), qPrintable(result.message));
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
        QTest::newRow("BW Oct 1e-300") << "Filter: ON PK Fc 90 Hz Gain 3 dB BW Oct 1e-300"
                                       << "BW Oct 1e-300 is narrower than Q 1000 at Fc 90 Hz";
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

    // Each layout people keep these files in reads as the plainest one
    // with the same meaning.
    void readsRealLayouts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("listener");
        QTest::addColumn<QString>("plainName");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QString>("alsoSays");
        const QByteArray columns("hz,left,right\n500,20,10\n1000,30,20\n4000,60,45\n");
        const QByteArray rows("Subject, Ear, 500, 1000, 4000\nA, L, 20, 30, 60\nA, R, 10, 20, 45\n");
        const QByteArray listener("\"audiogram_cfs\": [500, 1000, 4000], \"audiogram_levels_l\": [20, 30, 60], "
                                  "\"audiogram_levels_r\": [10, 20, 45]}");
        const QByteArray filter("Preamp: -2 dB\nFilter: ON PK Fc 1000 Hz Gain -3 dB Q 1\n");
        const QString curve = QStringLiteral("frequency,raw,equalization\n20,0,2.5\n1000,0,-1.5\n20000,0,3\n");
        const QByteArray preset = "{\"output\": {\"equalizer\": {\"num-bands\": 1, \"left\": {\"band0\": {\"type\": \"Bell\", "
                                  "\"frequency\": 1000, \"gain\": -3, \"q\": 1}}}%1}}";
        QTest::newRow("a column per ear, columns quoted") << "a.csv" << QByteArray("\"hz\",\"left\",\"right\"\n\"500\",\"20\",\"10\"\n1000,30,20\n4000,60,45\n")
                                                         << "" << "p.csv" << columns << "";
        QTest::newRow("a row per ear, blanks after commas") << "a.csv" << rows << "" << "p.csv" << columns << "";
        QTest::newRow("a row per ear, BOM and CRLF") << "a.csv" << "\xef\xbb\xbf" + QByteArray(rows).replace("\n", "\r\n")
                                                    << "" << "p.csv" << columns << "";
        QTest::newRow("a row per ear, quoted, no blanks") << "a.csv"
            << QByteArray("\"Subject\",\"Ear\",\"500\",\"1000\",\"4000\"\n\"A\",\"L\",20,30,60\n\"A\",\"R\",10,20,45\n")
            << "" << "p.csv" << columns << "";
        QTest::newRow("a column per ear, semicolons, decimal commas") << "a.csv"
            << QByteArray("Hz;Left;Right\r\n500;20,0;10\r\n1000;30;20,0\r\n4000;60;45\r\n") << "" << "p.csv" << columns << "";
        QTest::newRow("listeners, one") << "l.json" << "{\"L0001\": {\"name\": \"L0001\", " + listener + "}" << ""
                                        << "p.csv" << columns << "(listener L0001)";
        QTest::newRow("listeners, the second of two") << "l.json"
            << "{\"L0001\": {\"audiogram_cfs\": [500], \"audiogram_levels_l\": [0], \"audiogram_levels_r\": [0]}, \"L0002\": {" + listener + "}"
            << "L0002" << "p.csv" << columns << "(listener L0002)";
        QTest::newRow("listeners, a list") << "l.json" << "[{\"name\": \"A\", " + listener + "]" << "A" << "p.csv" << columns << "";
        QTest::newRow("equalization, semicolons") << "e.csv" << QString(curve).replace(',', ';').toUtf8() << "" << "p.csv"
                                                  << curve.toUtf8() << "";
        QTest::newRow("text in Latin-1") << "l.txt" << "# Kopfh\xf6rer\n" + filter << "" << "p.txt" << filter << "";
        const QString utf16 = QString::fromUtf8("# Kopfhörer\r\n" + filter);
        QTest::newRow("text in UTF-16, little-endian") << "u.txt"
            << "\xff\xfe" + QByteArray(reinterpret_cast<const char *>(utf16.utf16()), 2 * utf16.size())
            << "" << "p.txt" << filter << "";
        QTest::newRow("preset's other effects") << "p.json" << QByteArray(preset).replace("%1", ", \"convolver#0\": {\"kernel\": \"room\"}, \"blocklist\": []")
            << "" << "p.json" << QByteArray(preset).replace("%1", "") << "Lines not used: output/convolver#0 (only the equalizer is read).";
        QByteArray many = filter;
        for (int line = 0; line < 20000; ++line)
            many += "Loudness: on\n";
        QTest::newRow("20000 lines not used") << "m.txt" << many << "" << "p.txt" << filter << "; 19988 more.";
    }

    void readsRealLayouts()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, listener);
        QFETCH(QString, plainName);
        QFETCH(QByteArray, plain);
        QFETCH(QString, alsoSays);
        const QString path = mDir.filePath(name), plainPath = mDir.filePath(QStringLiteral("plain/") + plainName);
        QVERIFY(QDir().mkpath(mDir.filePath(QStringLiteral("plain"))));
        for (const auto &[file, bytes] : {std::make_pair(path, content), std::make_pair(plainPath, plain)}) {
            QFile written(file);
            QVERIFY(written.open(QIODevice::WriteOnly | QIODevice::Truncate) && written.write(bytes) == bytes.size());
        }
        const ProfileImport::Result expected = ProfileImport::ImportFile(plainPath, Before(), 48000);
        const ProfileImport::Result result = ProfileImport::ImportFile(path, Before(), 48000, listener);
        QVERIFY2(expected.ok, qPrintable(expected.message));
        QVERIFY2(result.ok && result.settings == expected.settings && result.message.contains(alsoSays),
                 qPrintable(result.message));
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
        QTest::newRow("audiogram, a frequency twice") << "a.csv" << QByteArray("hz,l,r\n500,10,20\n500,15,20\n")
            << "it holds two levels at 500 Hz for the left ear";
        QTest::newRow("control bytes") << "c.txt" << QByteArray("Preamp: -3 dB\x01\x02\n") << "the file is not a text file";
        QTest::newRow("listeners, none chosen") << "l.json"
            << QByteArray("{\"L1\": {\"audiogram_cfs\": [500], \"audiogram_levels_l\": [5], \"audiogram_levels_r\": [5]},"
                          " \"L2\": {\"audiogram_cfs\": [500], \"audiogram_levels_l\": [5], \"audiogram_levels_r\": [5]}}")
            << "it holds the audiograms of 2 listeners (L1, L2): choose one";
        QTest::newRow("preset without a band in use") << "p.json"
            << QByteArray("{\"output\": {\"equalizer\": {\"num-bands\": 2, \"left\": {\"band0\": {\"type\": \"Off\"}, "
                          "\"band1\": {\"type\": \"Bell\", \"mute\": true}}}, \"exciter\": {}}}")
            << "its equalizer output/equalizer has no band in use; not used: output/exciter (only the equalizer is read)";
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
