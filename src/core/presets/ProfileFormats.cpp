// Reads the other tools' profile formats into filters and graphic curves,
// setting aside what cannot be read and saying so.
#include "core/presets/ProfileFormats.h"

#include "core/presets/Csv.h"
#include "core/presets/ProfileExport.h"

#include <QHash>
#include <QJsonArray>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <utility>

using BiquadResponse::Filter;
using BiquadResponse::Kind;
using ProfileFormats::Profile;

namespace {

const double CentreShelfQ = 1 / std::sqrt(2.0);
const double PassQ = 0.707;
// A notch without a width cuts a hum, not a band.
const double NotchQ = 30;
const double CornerShelfSlope = 0.9;

// Bounds no real profile comes near. A value beyond them, or not finite, is
// a broken file: its line is set aside, never clamped (1e308 dB would turn
// every band to the top of the range) nor summed (+1e308 and -1e308 cancel).
constexpr double HighestFrequencyHz = 100000; // beyond half of any audio rate
constexpr double LargestGainDb = 100;         // filter gains, graphic points, preamps
constexpr double LargestQ = 1000;
constexpr double WidestOctaves = 20;          // twice the audible range

bool Within(double value, double lowest, double highest)
{
    return value >= lowest && value <= highest;
}

// A number however large, "inf" and "nan" included: the bounds judge it.
bool Written(const QString &text, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

// A JSON number, or a number written as a string as older presets have them.
bool Written(const QJsonValue &value, double *number)
{
    if (value.isDouble()) {
        *number = value.toDouble();
        return true;
    }
    return value.isString() && Written(value.toString(), number);
}

bool Switch(const QJsonValue &value)
{
    return value.isBool() ? value.toBool() : value.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

// "-4,7" reads as -4.7 and "-5.1dB" as "-5.1" "dB", as people write them
// by hand or in locales with a decimal comma.
QStringList Tokens(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression number(QStringLiteral("^([-+]?(?:\\d+(?:[.,]\\d*)?|[.,]\\d+)(?:[eE][-+]?\\d+)?)([A-Za-z]*)$"));
    QStringList tokens;
    for (const QString &token : text.split(blanks, Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = number.match(token);
        if (!match.hasMatch()) {
            tokens << token;
            continue;
        }
        tokens << match.captured(1).replace(QLatin1Char(','), QLatin1Char('.'));
        if (!match.captured(2).isEmpty())
            tokens << match.captured(2);
    }
    return tokens;
}

enum class LineUse { Applied, Off, NotUsed, Wrong };

struct FilterType
{
    Kind kind;
    bool gain;       // needs a Gain
    bool width;      // needs a Q or BW Oct
    bool corner;     // Fc is a shelf's corner
    double defaultQ; // when no width is given
};

// "ON PK Fc 100 Hz Gain -3 dB Q 1.41", also "BW Oct 1" for the width. A
// line not used may come with *problem saying why.
LineUse ParseFilter(const QStringList &tokens, double sampleRate, Filter *filter, QString *problem)
{
    if (tokens.isEmpty() || (tokens[0].compare(QLatin1String("ON"), Qt::CaseInsensitive) != 0
                             && tokens[0].compare(QLatin1String("OFF"), Qt::CaseInsensitive) != 0)) {
        *problem = QStringLiteral("has no ON or OFF");
        return LineUse::Wrong;
    }
    if (tokens[0].compare(QLatin1String("OFF"), Qt::CaseInsensitive) == 0)
        return LineUse::Off;
    if (tokens.size() < 2) {
        *problem = QStringLiteral("has no filter type");
        return LineUse::Wrong;
    }
    static const QHash<QString, FilterType> types = {
        {QStringLiteral("PK"), {Kind::Peaking, true, true, false, 0}},
        {QStringLiteral("PEQ"), {Kind::Peaking, true, true, false, 0}},
        {QStringLiteral("MODAL"), {Kind::Peaking, true, true, false, 0}},
        {QStringLiteral("LP"), {Kind::LowPass, false, false, false, PassQ}},
        {QStringLiteral("LPQ"), {Kind::LowPass, false, false, false, PassQ}},
        {QStringLiteral("HP"), {Kind::HighPass, false, false, false, PassQ}},
        {QStringLiteral("HPQ"), {Kind::HighPass, false, false, false, PassQ}},
        {QStringLiteral("BP"), {Kind::BandPass, false, false, false, PassQ}},
        {QStringLiteral("NO"), {Kind::Notch, false, false, false, NotchQ}},
        {QStringLiteral("AP"), {Kind::AllPass, false, false, false, PassQ}},
        {QStringLiteral("LS"), {Kind::LowShelf, true, false, true, NAN}},
        {QStringLiteral("HS"), {Kind::HighShelf, true, false, true, NAN}},
        {QStringLiteral("LSC"), {Kind::LowShelf, true, false, false, CentreShelfQ}},
        {QStringLiteral("HSC"), {Kind::HighShelf, true, false, false, CentreShelfQ}},
    };
    const QString name = tokens[1].toUpper();
    if (!types.contains(name)) {
        *problem = QStringLiteral("filter type %1 is not read").arg(tokens[1]);
        return LineUse::NotUsed;
    }
    const FilterType type = types.value(name);
    filter->kind = type.kind;
    // "LS 12dB Fc ...": a slope in dB per octave, which no cookbook shelf
    // has a settled meaning for.
    double number = 0;
    if (tokens.size() > 3 && Written(tokens[2], &number)
        && tokens[3].compare(QLatin1String("dB"), Qt::CaseInsensitive) == 0) {
        *problem = QStringLiteral("a slope in dB per octave is not read");
        return LineUse::NotUsed;
    }

    double fc = NAN, gain = NAN, q = NAN, octaves = NAN;
    for (int i = 2; i < tokens.size(); ++i) {
        const QString key = tokens[i].toUpper();
        double *target = key == QLatin1String("FC") ? &fc
            : key == QLatin1String("GAIN")          ? &gain
            : key == QLatin1String("Q")             ? &q
            : key == QLatin1String("BW")            ? &octaves
                                                    : nullptr;
        if (!target) {
            *problem = QStringLiteral("%1 is not read").arg(tokens[i]);
            return LineUse::NotUsed;
        }
        if (target == &octaves) {
            if (i + 1 >= tokens.size() || tokens[i + 1].compare(QLatin1String("Oct"), Qt::CaseInsensitive) != 0) {
                *problem = QStringLiteral("a width other than BW Oct is not read");
                return LineUse::NotUsed;
            }
            ++i;
        }
        if (i + 1 >= tokens.size() || !Written(tokens[i + 1], target)) {
            *problem = i + 1 < tokens.size()
                ? QStringLiteral("has \"%1\" where %2 needs a number").arg(tokens[i + 1], tokens[i])
                : QStringLiteral("has no value after %1").arg(tokens[i]);
            return LineUse::Wrong;
        }
        // A negative Fc or width within the bound is a wrong line, judged below.
        const auto bounds = target == &fc ? std::make_pair(HighestFrequencyHz, "Fc %1 is not within 0 to 100000 Hz")
            : target == &gain             ? std::make_pair(LargestGainDb, "Gain %1 is not within -100 to 100 dB")
            : target == &q                ? std::make_pair(LargestQ, "Q %1 is not within 0 to 1000")
                                          : std::make_pair(WidestOctaves, "BW Oct %1 is not within 0 to 20");
        if (!(std::abs(*target) <= bounds.first)) {
            *problem = QString::fromLatin1(bounds.second).arg(tokens[i + 1]);
            return LineUse::NotUsed;
        }
        ++i;
        const QString unit = i + 1 < tokens.size() ? tokens[i + 1].toUpper() : QString();
        if ((target == &fc && unit == QLatin1String("HZ")) || (target == &gain && unit == QLatin1String("DB")))
            ++i;
    }
    if (std::isnan(fc))
        *problem = QStringLiteral("has no Fc");
    else if (std::isnan(gain) && type.gain)
        *problem = QStringLiteral("has no Gain");
    else if (type.width && std::isnan(q) && std::isnan(octaves))
        *problem = QStringLiteral("has no Q or BW Oct");
    else if (fc <= 0 || fc >= sampleRate / 2)
        *problem = QStringLiteral("has Fc %1 Hz, outside 0 to %2 Hz").arg(fc).arg(sampleRate / 2);
    else if (q <= 0 || octaves <= 0)
        *problem = QStringLiteral("has a width that is not above 0");
    if (!problem->isEmpty())
        return LineUse::Wrong;
    filter->gainDb = type.gain ? gain : 0;
    filter->q = !std::isnan(octaves) ? BiquadResponse::QFromOctaves(fc, octaves, sampleRate)
        : !std::isnan(q)             ? q
        : type.corner                ? BiquadResponse::QFromShelfSlope(gain, CornerShelfSlope)
                                     : type.defaultQ;
    // A corner shelf's centre moves with the slope its width stands for.
    filter->frequency = type.corner && filter->q > 0
        ? BiquadResponse::ShelfCentreFromCorner(type.kind, fc, gain, BiquadResponse::ShelfSlopeFromQ(gain, filter->q))
        : fc;
    // Close to half the rate an octave width needs a Q too small to compute.
    if (!(filter->q > 0)) {
        *problem = QStringLiteral("BW Oct %1 gives no Q at Fc %2 Hz").arg(octaves).arg(fc);
        return LineUse::NotUsed;
    }
    // So narrow a width reads as a notch or a spike a grid never samples,
    // where the profile meant a peak.
    if (filter->q > LargestQ) {
        *problem = QStringLiteral("BW Oct %1 is narrower than Q 1000 at Fc %2 Hz").arg(octaves).arg(fc);
        return LineUse::NotUsed;
    }
    if (!(filter->frequency < sampleRate / 2)) {
        *problem = QStringLiteral("its centre lies above half the rate");
        return LineUse::NotUsed;
    }
    return LineUse::Applied;
}

bool ByFrequency(const TargetCurve::Point &a, const TargetCurve::Point &b)
{
    return a.frequency < b.frequency;
}

// Set aside when beyond the bounds, *problem saying why.
bool PointWithin(const TargetCurve::Point &point, const QString &written, QString *problem)
{
    if (point.frequency <= HighestFrequencyHz && Within(point.gainDb, -LargestGainDb, LargestGainDb))
        return true;
    *problem = QStringLiteral("point \"%1\" is not within 0 to 100000 Hz and -100 to 100 dB").arg(written);
    return false;
}

// "20 -3.2; 21 -3,1; ...", sorted by frequency.
LineUse ParseGraphic(const QString &text, std::vector<TargetCurve::Point> *points, QString *problem)
{
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (part.trimmed().isEmpty())
            continue;
        const QStringList pair = Tokens(part);
        TargetCurve::Point point;
        if (pair.size() != 2 || !Written(pair[0], &point.frequency) || !Written(pair[1], &point.gainDb)
            || point.frequency <= 0) {
            *problem = QStringLiteral("has \"%1\" where a frequency and a gain belong").arg(part.trimmed());
            return LineUse::Wrong;
        }
        if (!PointWithin(point, part.trimmed(), problem))
            return LineUse::NotUsed;
        points->push_back(point);
    }
    if (points->empty()) {
        *problem = QStringLiteral("has no points");
        return LineUse::Wrong;
    }
    std::stable_sort(points->begin(), points->end(), ByFrequency);
    return LineUse::Applied;
}

// The first line neither blank nor a "#" comment: a CSV's titles.
int TitleLine(const QStringList &lines)
{
    for (int index = 0; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            return index;
    }
    return 0;
}

QString NoneFound(const Profile &profile)
{
    const QString none = QStringLiteral("it holds no Preamp, Filter or GraphicEQ line for the left or right channel");
    return profile.setAside.isEmpty() ? none
                                      : none + QStringLiteral(" within bounds; lines not used: %1")
                                                   .arg(ProfileFormats::Listed(profile.setAside));
}

// The preset's band types that the cookbook filters stand for.
const QHash<QString, Kind> &PresetBandKinds()
{
    static const QHash<QString, Kind> kinds = {
        {QStringLiteral("bell"), Kind::Peaking},       {QStringLiteral("lo-shelf"), Kind::LowShelf},
        {QStringLiteral("hi-shelf"), Kind::HighShelf}, {QStringLiteral("lo-pass"), Kind::LowPass},
        {QStringLiteral("hi-pass"), Kind::HighPass},   {QStringLiteral("notch"), Kind::Notch},
        {QStringLiteral("bandpass"), Kind::BandPass},  {QStringLiteral("allpass"), Kind::AllPass},
    };
    return kinds;
}

// The preset's equalizer: "equalizer" or "equalizer#0" among the output's
// (else the input's) effects.
QJsonObject PresetEqualizer(const QJsonObject &root, QString *where)
{
    for (const char *side : {"output", "input"}) {
        const QJsonObject effects = root.value(QLatin1String(side)).toObject();
        for (auto it = effects.begin(); it != effects.end(); ++it) {
            if (it.value().isObject() && (it.key() == QLatin1String("equalizer")
                                          || it.key().startsWith(QLatin1String("equalizer#")))) {
                *where = QLatin1String(side) + QLatin1Char('/') + it.key();
                return it.value().toObject();
            }
        }
    }
    return QJsonObject();
}

} // namespace

namespace ProfileFormats {

QString Listed(const QStringList &items, const QString &separator)
{
    constexpr int Shown = 12;
    QString listed = items.mid(0, Shown).join(separator);
    if (items.size() > Shown)
        listed += separator + QStringLiteral("%1 more").arg(items.size() - Shown);
    return listed;
}

QString LineNotUsed(int index, const QString &line, const QString &why)
{
    const QString quoted = QStringLiteral("%1 \"%2\"").arg(index + 1).arg(line.left(80));
    return why.isEmpty() ? quoted : quoted + QStringLiteral(" (%1)").arg(why);
}

bool FromConfiguration(const QString &text, double sampleRate, Profile *profile, QString *problem,
                       const std::atomic<bool> *stop)
{
    static const QRegularExpression command(QStringLiteral("^\\s*([A-Za-z]+)(\\s+\\d+)?\\s*:(.*)$"));

    bool section[2] = {true, true};
    QString sectionNames; // a section for neither channel
    QString otherDevice;  // lines under it play on another device, not here
    const auto setAsideLine = [&](int index, const QString &line, const QString &why) {
        profile->notUsed << LineNotUsed(index, line, why);
        if (!why.isEmpty())
            profile->setAside << profile->notUsed.constLast();
    };

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        if (stop && *stop) {
            *problem = QStringLiteral("the import was stopped");
            return false;
        }
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("line %1 (\"%2\")").arg(index + 1).arg(line.left(80));
        const QRegularExpressionMatch match = command.match(line);
        const QString keyword = match.captured(1).toLower();
        const QString rest = match.captured(3).trimmed();
        const QStringList tokens = Tokens(rest);
        const bool numbered = !match.captured(2).isEmpty();
        if (keyword == QLatin1String("device") && !numbered) {
            otherDevice = rest;
            for (const QString &pattern : rest.split(QLatin1Char(';')))
                if (pattern.trimmed().compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
                    otherDevice.clear();
            continue;
        }
        if (!otherDevice.isEmpty()) {
            profile->notUsed << LineNotUsed(index, line, QStringLiteral("for device %1 only").arg(otherDevice));
            continue;
        }
        const bool applies = keyword == QLatin1String("preamp") || keyword == QLatin1String("filter")
            || keyword == QLatin1String("graphiceq");
        if (applies && !section[0] && !section[1]) {
            profile->notUsed << LineNotUsed(index, line, QStringLiteral("for channel %1 only").arg(sectionNames));
            continue;
        }
        QString why;

        if (keyword == QLatin1String("channel") && !numbered) {
            section[0] = section[1] = false;
            QStringList others;
            for (const QString &token : rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
                const QString upper = token.toUpper();
                const bool all = upper == QLatin1String("ALL");
                const bool left = all || upper == QLatin1String("L") || upper == QLatin1String("1");
                const bool right = all || upper == QLatin1String("R") || upper == QLatin1String("2");
                section[0] = section[0] || left;
                section[1] = section[1] || right;
                if (!left && !right)
                    others << token;
            }
            sectionNames = others.join(QLatin1Char(' '));
            if (!section[0] && !section[1])
                profile->notUsed << LineNotUsed(index, line, QStringLiteral("no left or right channel"));
            continue;
        }
        if (keyword == QLatin1String("preamp") && !numbered) {
            double gain = 0;
            if (tokens.isEmpty() || !Written(tokens[0], &gain)) {
                *problem = where + QLatin1String(" has no gain in dB");
                return false;
            }
            // Brenvox's own export writes -200 dB for a silent channel.
            if (!Within(gain, ProfileExport::SilentPreampDb, LargestGainDb)) {
                setAsideLine(index, line, QStringLiteral("Preamp %1 is not within -200 to 100 dB").arg(tokens[0]));
                continue;
            }
            for (int channel = 0; channel < 2; ++channel) {
                if (section[channel]) {
                    profile->preampDb[channel] += gain;
                    profile->covered[channel] = true;
                }
            }
            continue;
        }
        // A filter or a curve counts for the channels of its section once
        // it is read; "Wrong" ends the import, "NotUsed" sets the line aside.
        const auto take = [&](LineUse use, const auto &addTo) {
            if (use == LineUse::Wrong) {
                *problem = where + QLatin1Char(' ') + why;
                return false;
            }
            if (use == LineUse::NotUsed) {
                setAsideLine(index, line, why);
                return true;
            }
            for (int channel = 0; channel < 2; ++channel) {
                if (section[channel]) {
                    profile->covered[channel] = true;
                    if (use == LineUse::Applied)
                        addTo(profile->curves[channel]);
                }
            }
            return true;
        };
        if (keyword == QLatin1String("filter")) {
            Filter filter;
            const LineUse use = ParseFilter(tokens, sampleRate, &filter, &why);
            if (!take(use, [&](auto &curve) { curve.filters.push_back(filter); }))
                return false;
            continue;
        }
        if (keyword == QLatin1String("graphiceq") && !numbered) {
            std::vector<TargetCurve::Point> points;
            const LineUse use = ParseGraphic(rest, &points, &why);
            if (!take(use, [&](auto &curve) { curve.graphics.push_back(points); }))
                return false;
            continue;
        }
        profile->notUsed << LineNotUsed(index, line, keyword == QLatin1String("include")
                                                         ? QStringLiteral("other files are not read")
                                                         : QString());
    }
    if (!profile->covered[0] && !profile->covered[1]) {
        *problem = NoneFound(*profile);
        return false;
    }
    return true;
}

bool IsEqualizationCsv(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QStringList columns = Csv::Fields(lines.value(TitleLine(lines)).toLower(), Csv::Separator(lines));
    return columns.contains(QLatin1String("frequency")) && columns.contains(QLatin1String("equalization"));
}

bool FromEqualizationCsv(const QString &text, Profile *profile, QString *problem)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QChar separator = Csv::Separator(lines);
    const int titles = TitleLine(lines);
    const QStringList columns = Csv::Fields(lines.value(titles).toLower(), separator);
    const int frequencyColumn = int(columns.indexOf(QLatin1String("frequency")));
    const int gainColumn = int(columns.indexOf(QLatin1String("equalization")));
    std::vector<TargetCurve::Point> points;
    for (int index = titles + 1; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = Csv::Fields(line, separator);
        TargetCurve::Point point;
        if (!Csv::Number(fields.value(frequencyColumn), &point.frequency)
            || !Csv::Number(fields.value(gainColumn), &point.gainDb) || !(point.frequency > 0)) {
            *problem = QStringLiteral("line %1 (\"%2\") has no frequency and equalization")
                           .arg(index + 1).arg(line.left(80));
            return false;
        }
        QString why;
        if (!PointWithin(point, line.left(80), &why)) {
            profile->notUsed << LineNotUsed(index, line, why);
            profile->setAside << profile->notUsed.constLast();
            continue;
        }
        points.push_back(point);
    }
    if (points.empty()) {
        *problem = QStringLiteral("it holds no rows of frequency and equalization");
        return false;
    }
    std::stable_sort(points.begin(), points.end(), ByFrequency);
    // The curve is a correction with no preamp of its own: lowered by its
    // highest point within hearing, it never drives the signal above 0 dB.
    double highest = std::max({0.0, TargetCurve::InterpolatedDb(points, 20), TargetCurve::InterpolatedDb(points, 20000)});
    for (const TargetCurve::Point &point : points)
        if (point.frequency >= 20 && point.frequency <= 20000)
            highest = std::max(highest, point.gainDb);
    for (int channel = 0; channel < 2; ++channel) {
        profile->curves[channel].graphics.push_back(points);
        profile->covered[channel] = true;
        profile->preampDb[channel] = -highest;
    }
    return true;
}

bool IsSplitChannelPreset(const QJsonObject &root)
{
    QString where;
    return !PresetEqualizer(root, &where).isEmpty();
}

bool FromSplitChannelPreset(const QJsonObject &root, double sampleRate, Profile *profile, QString *problem)
{
    QString where;
    const QJsonObject equalizer = PresetEqualizer(root, &where);
    double bandCount = 0;
    if (!Written(equalizer.value(QLatin1String("num-bands")), &bandCount) || !Within(bandCount, 1, 1000)) {
        *problem = QStringLiteral("its equalizer %1 has no number of bands").arg(where);
        return false;
    }
    const bool split = Switch(equalizer.value(QLatin1String("split-channels")));
    double preamp = 0;
    for (const char *key : {"input-gain", "output-gain"}) {
        double gain = 0;
        if (Written(equalizer.value(QLatin1String(key)), &gain) && Within(gain, -LargestGainDb, LargestGainDb))
            preamp += gain;
    }
    double balance = 0;
    if (Written(equalizer.value(QLatin1String("balance")), &balance) && balance != 0)
        profile->notUsed << QStringLiteral("\"balance\" %1").arg(balance);
    for (int channel = 0; channel < 2; ++channel) {
        const QString side = QLatin1String(split && channel == 1 ? "right" : "left");
        const QJsonObject bands = equalizer.value(side).toObject();
        profile->covered[channel] = true;
        profile->preampDb[channel] = preamp;
        for (int band = 0; band < int(bandCount); ++band) {
            const QJsonObject values = bands.value(QStringLiteral("band%1").arg(band)).toObject();
            const QString type = values.value(QLatin1String("type")).toString();
            const QString name = QStringLiteral("%1 band%2").arg(side).arg(band);
            // A band switched off or muted does nothing; the right's are the
            // left's unless the channels are split, so are named once.
            if (values.isEmpty() || type.compare(QLatin1String("Off"), Qt::CaseInsensitive) == 0
                || Switch(values.value(QLatin1String("mute"))) || (!split && channel == 1))
                continue;
            Filter filter;
            const QString slope = values.value(QLatin1String("slope")).toString(QStringLiteral("x1"));
            QString why;
            if (!PresetBandKinds().contains(type.toLower()))
                why = QStringLiteral("type %1 is not read").arg(type);
            else if (slope != QLatin1String("x1"))
                why = QStringLiteral("slope %1 is not read").arg(slope);
            else if (!Written(values.value(QLatin1String("frequency")), &filter.frequency)
                     || !Written(values.value(QLatin1String("gain")), &filter.gainDb)
                     || !Written(values.value(QLatin1String("q")), &filter.q))
                why = QStringLiteral("it has no frequency, gain and q");
            else if (!(filter.frequency > 0 && filter.frequency < sampleRate / 2)
                     || !Within(filter.gainDb, -LargestGainDb, LargestGainDb) || !(filter.q > 0 && filter.q <= LargestQ))
                why = QStringLiteral("its values are beyond every profile's");
            if (!why.isEmpty()) {
                profile->notUsed << QStringLiteral("%1 (%2)").arg(name, why);
                continue;
            }
            filter.kind = PresetBandKinds().value(type.toLower());
            profile->curves[channel].filters.push_back(filter);
            if (!split)
                profile->curves[1].filters.push_back(filter);
        }
    }
    // The preset's other effects change the sound too; Brenvox has none of
    // them, and says so rather than pass the import off as the preset.
    for (const char *side : {"output", "input"}) {
        const QJsonObject effects = root.value(QLatin1String(side)).toObject();
        for (auto it = effects.begin(); it != effects.end(); ++it) {
            const QString name = QLatin1String(side) + QLatin1Char('/') + it.key();
            if (it.value().isObject() && name != where)
                profile->notUsed << QStringLiteral("%1 (only the equalizer is read)").arg(name);
        }
    }
    // Flattening both channels is nothing the preset asked for.
    if (profile->curves[0].filters.empty() && profile->curves[1].filters.empty()) {
        *problem = QStringLiteral("its equalizer %1 has no band in use").arg(where);
        if (!profile->notUsed.isEmpty())
            *problem += QStringLiteral("; not used: %1").arg(Listed(profile->notUsed));
        return false;
    }
    return true;
}

} // namespace ProfileFormats
