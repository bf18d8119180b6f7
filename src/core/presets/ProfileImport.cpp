// Parses profiles into target curves and rounds them onto the bands.
#include "core/presets/ProfileImport.h"

#include "dsp/TargetCurve.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/EqualizerModel.h"
#include "core/presets/ProfileExport.h"
#include "core/presets/SmallTextFile.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <utility>

using BiquadResponse::Filter;
using BiquadResponse::Kind;
using ProfileImport::Result;

namespace {

const double ShelfQ = 1 / std::sqrt(2.0);

// Bounds no real profile comes near. A value beyond them, or not finite, is
// a broken file: its line is set aside, never clamped (1e308 dB would turn
// every band to the top of the range) nor summed (+1e308 and -1e308 cancel).
constexpr double HighestFrequencyHz = 100000; // beyond half of any audio rate
constexpr double LargestGainDb = 100;         // filter gains, GraphicEQ points, preamps
constexpr double LargestQ = 1000;
constexpr double WidestOctaves = 20;          // twice the audible range

bool Within(double value, double lowest, double highest)
{
    return value >= lowest && value <= highest;
}

const std::vector<double> &BandFrequencies()
{
    static const std::vector<double> frequencies = [] {
        std::vector<double> all;
        for (int band = 0; band < BandTable::BandCount; ++band)
            all.push_back(BandTable::FrequencyText(band).toDouble());
        return all;
    }();
    return frequencies;
}

QString Decibels(double value)
{
    return QString::number(value, 'f', 1) + QLatin1String(" dB");
}

// "left 0.4 dB, right 1.2 dB", or one figure when both channels agree.
QString PerChannel(const Result &result, const std::array<double, 2> &values)
{
    QStringList parts;
    if (result.channelsSet[0] && result.channelsSet[1] && Decibels(values[0]) == Decibels(values[1]))
        return Decibels(values[0]);
    for (int channel = 0; channel < 2; ++channel) {
        if (result.channelsSet[channel])
            parts << (channel == 0 ? QLatin1String("left ") : QLatin1String("right ")) + Decibels(values[channel]);
    }
    return parts.join(QLatin1String(", "));
}

QString ChannelNames(const Result &result)
{
    if (result.channelsSet[0] && result.channelsSet[1])
        return QStringLiteral("the left and right channels");
    return result.channelsSet[0] ? QStringLiteral("the left channel") : QStringLiteral("the right channel");
}

bool Number(const QString &text, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value);
}

// A number however large, "inf" and "nan" included: the bounds judge it.
bool Written(const QString &text, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

QString LineNotUsed(int index, const QString &line, const QString &why)
{
    const QString quoted = QStringLiteral("%1 \"%2\"").arg(index + 1).arg(line.left(80));
    return why.isEmpty() ? quoted : quoted + QStringLiteral(" (%1)").arg(why);
}

// A whole channel of gains from a curve sampled at the band frequencies.
void SetChannel(Result &result, int channel, const std::vector<double> &targetDb)
{
    const TargetCurve::BandFit fit = TargetCurve::FitToBands(targetDb, result.settings.range);
    ChannelSettings &settings = result.settings.channels[channel];
    std::copy(fit.gains.begin(), fit.gains.end(), settings.gains.begin());
    settings.moved.fill(true);
    result.channelsSet[channel] = true;
    result.largestDifferenceDb[channel] = fit.largestDifferenceDb;
}

// An exported channel: peaking filters on the band frequencies with whole
// gains and the Q of the current bandwidth. Sampling their overlapping sum
// would not give the sliders back, so they are read band for band.
bool BandForBand(const TargetCurve::Curve &curve, int bandwidth, double sampleRate, std::vector<double> *gains)
{
    if (!curve.graphics.empty())
        return false;
    std::vector<double> byBand(BandTable::BandCount, 0.0);
    std::vector<bool> taken(BandTable::BandCount, false);
    for (const Filter &filter : curve.filters) {
        const auto &frequencies = BandFrequencies();
        const auto at = std::find_if(frequencies.begin(), frequencies.end(),
            [&](double f) { return std::abs(f - filter.frequency) <= 1e-6 * f; });
        if (filter.kind != Kind::Peaking || at == frequencies.end())
            return false;
        const int band = int(at - frequencies.begin());
        const double octaves = BiquadResponse::OctavesFromQ(filter.frequency, filter.q, sampleRate);
        if (taken[band] || filter.gainDb != std::round(filter.gainDb)
            || std::abs(octaves - bandwidth) > 1e-3 * bandwidth)
            return false;
        taken[band] = true;
        byBand[band] = filter.gainDb;
    }
    *gains = byBand;
    return true;
}

enum class LineUse { Applied, Off, NotUsed, Wrong };

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
    static const QHash<QString, Kind> kinds = {
        {QStringLiteral("PK"), Kind::Peaking},    {QStringLiteral("LSC"), Kind::LowShelf},
        {QStringLiteral("HSC"), Kind::HighShelf}, {QStringLiteral("LS"), Kind::LowShelf},
        {QStringLiteral("HS"), Kind::HighShelf},  {QStringLiteral("HP"), Kind::HighPass},
    };
    const QString type = tokens[1].toUpper();
    if (!kinds.contains(type))
        return LineUse::NotUsed;
    filter->kind = kinds.value(type);

    double fc = NAN, gain = NAN, q = NAN, octaves = NAN;
    for (int i = 2; i < tokens.size(); ++i) {
        const QString key = tokens[i].toUpper();
        double *target = key == QLatin1String("FC") ? &fc
            : key == QLatin1String("GAIN")          ? &gain
            : key == QLatin1String("Q")             ? &q
            : key == QLatin1String("BW")            ? &octaves
                                                    : nullptr;
        if (!target)
            return LineUse::NotUsed;
        if (target == &octaves) {
            if (i + 1 >= tokens.size() || tokens[i + 1].compare(QLatin1String("Oct"), Qt::CaseInsensitive) != 0)
                return LineUse::NotUsed;
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
    const bool isPeaking = filter->kind == Kind::Peaking;
    if (std::isnan(fc))
        *problem = QStringLiteral("has no Fc");
    else if (std::isnan(gain) && filter->kind != Kind::HighPass)
        *problem = QStringLiteral("has no Gain");
    else if (isPeaking && std::isnan(q) && std::isnan(octaves))
        *problem = QStringLiteral("has no Q or BW Oct");
    else if (fc <= 0 || fc >= sampleRate / 2)
        *problem = QStringLiteral("has Fc %1 Hz, outside 0 to %2 Hz").arg(fc).arg(sampleRate / 2);
    else if (q <= 0 || octaves <= 0)
        *problem = QStringLiteral("has a width that is not above 0");
    if (!problem->isEmpty())
        return LineUse::Wrong;
    filter->frequency = fc;
    filter->gainDb = std::isnan(gain) ? 0 : gain;
    filter->q = !std::isnan(octaves) ? BiquadResponse::QFromOctaves(fc, octaves, sampleRate)
        : !std::isnan(q)             ? q
                                     : ShelfQ;
    // Close to half the rate an octave width needs a Q too small to compute.
    if (!(filter->q > 0)) {
        *problem = QStringLiteral("BW Oct %1 gives no Q at Fc %2 Hz").arg(octaves).arg(fc);
        return LineUse::NotUsed;
    }
    return LineUse::Applied;
}

// "20 -3.2; 21 -3.1; ...", sorted by frequency.
LineUse ParseGraphic(const QString &text, std::vector<TargetCurve::Point> *points, QString *problem)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (part.trimmed().isEmpty())
            continue;
        const QStringList pair = part.trimmed().split(blanks);
        TargetCurve::Point point;
        if (pair.size() != 2 || !Written(pair[0], &point.frequency) || !Written(pair[1], &point.gainDb)
            || point.frequency <= 0) {
            *problem = QStringLiteral("has \"%1\" where a frequency and a gain belong").arg(part.trimmed());
            return LineUse::Wrong;
        }
        if (!(point.frequency <= HighestFrequencyHz) || !Within(point.gainDb, -LargestGainDb, LargestGainDb)) {
            *problem = QStringLiteral("point \"%1\" is not within 0 to 100000 Hz and -100 to 100 dB")
                           .arg(part.trimmed());
            return LineUse::NotUsed;
        }
        points->push_back(point);
    }
    if (points->empty()) {
        *problem = QStringLiteral("has no points");
        return LineUse::Wrong;
    }
    std::stable_sort(points->begin(), points->end(),
        [](const TargetCurve::Point &a, const TargetCurve::Point &b) { return a.frequency < b.frequency; });
    return LineUse::Applied;
}

Result Refused(const QString &name, const QString &problem)
{
    Result result;
    result.message = ProfileImport::Refusal(name, problem);
    return result;
}

} // namespace

namespace ProfileImport {

const char AudiogramLabel[] =
    "Comfort setting from an audiogram: half of each ear's hearing loss as a boost, "
    "within the EQ range. This is not a hearing aid.";

Result FromText(const QString &name, const QString &text, const EqualizerSettings &current, double sampleRate)
{
    static const QRegularExpression command(QStringLiteral("^\\s*([A-Za-z]+)(\\s+\\d+)?\\s*:(.*)$"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));

    TargetCurve::Curve curves[2];
    bool covered[2] = {false, false};
    bool section[2] = {true, true};
    double preamp[2] = {0, 0};
    QStringList notUsed;
    QStringList setAside; // lines not used for a value out of bounds
    const auto setAsideLine = [&](int index, const QString &line, const QString &why) {
        notUsed << LineNotUsed(index, line, why);
        if (!why.isEmpty())
            setAside << notUsed.constLast();
    };

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("line %1 (\"%2\")").arg(index + 1).arg(line.left(80));
        const QRegularExpressionMatch match = command.match(line);
        const QString keyword = match.captured(1).toLower();
        const QString rest = match.captured(3).trimmed();
        const QStringList tokens = rest.split(blanks, Qt::SkipEmptyParts);
        const bool numbered = !match.captured(2).isEmpty();
        QString problem;

        if (keyword == QLatin1String("channel") && !numbered) {
            section[0] = section[1] = false;
            for (const QString &token : tokens) {
                const QString upper = token.toUpper();
                section[0] = section[0] || upper == QLatin1String("L") || upper == QLatin1String("ALL");
                section[1] = section[1] || upper == QLatin1String("R") || upper == QLatin1String("ALL");
            }
            if (!section[0] && !section[1])
                notUsed << LineNotUsed(index, line, QStringLiteral("no left or right channel"));
            continue;
        }
        if (keyword == QLatin1String("preamp") && !numbered) {
            double gain = 0;
            if (tokens.isEmpty() || !Written(tokens[0], &gain))
                return Refused(name, where + QLatin1String(" has no gain in dB"));
            // Brenvox's own export writes -200 dB for a silent channel.
            if (!Within(gain, ProfileExport::SilentPreampDb, LargestGainDb)) {
                setAsideLine(index, line, QStringLiteral("Preamp %1 is not within -200 to 100 dB").arg(tokens[0]));
                continue;
            }
            for (int channel = 0; channel < 2; ++channel) {
                if (section[channel]) {
                    preamp[channel] += gain;
                    covered[channel] = true;
                }
            }
            continue;
        }
        if (keyword == QLatin1String("filter")) {
            Filter filter;
            const LineUse use = ParseFilter(tokens, sampleRate, &filter, &problem);
            if (use == LineUse::Wrong)
                return Refused(name, where + QLatin1Char(' ') + problem);
            if (use == LineUse::NotUsed)
                setAsideLine(index, line, problem);
            for (int channel = 0; channel < 2 && use != LineUse::NotUsed; ++channel) {
                if (section[channel]) {
                    covered[channel] = true;
                    if (use == LineUse::Applied)
                        curves[channel].filters.push_back(filter);
                }
            }
            continue;
        }
        if (keyword == QLatin1String("graphiceq") && !numbered) {
            std::vector<TargetCurve::Point> points;
            const LineUse use = ParseGraphic(rest, &points, &problem);
            if (use == LineUse::Wrong)
                return Refused(name, where + QLatin1Char(' ') + problem);
            if (use == LineUse::NotUsed) {
                setAsideLine(index, line, problem);
                continue;
            }
            for (int channel = 0; channel < 2; ++channel) {
                if (section[channel]) {
                    covered[channel] = true;
                    curves[channel].graphics.push_back(points);
                }
            }
            continue;
        }
        notUsed << LineNotUsed(index, line, QString());
    }
    if (!covered[0] && !covered[1] && !setAside.isEmpty())
        return Refused(name, QStringLiteral("it holds no Preamp, Filter or GraphicEQ line for the left or right channel "
                                            "within bounds; lines not used: %1").arg(setAside.join(QLatin1String("; "))));
    if (!covered[0] && !covered[1])
        return Refused(name, QStringLiteral("it holds no Preamp, Filter or GraphicEQ line for the left or right channel"));

    Result result;
    result.ok = true;
    result.settings = current;
    bool allBandForBand = true;
    for (int channel = 0; channel < 2; ++channel) {
        if (!covered[channel])
            continue;
        std::vector<double> target;
        if (!BandForBand(curves[channel], current.bandwidth, sampleRate, &target)) {
            allBandForBand = false;
            for (const double frequency : BandFrequencies())
                target.push_back(TargetCurve::CurveDb(curves[channel], frequency, sampleRate));
        }
        SetChannel(result, channel, target);
        result.preampDb[channel] = preamp[channel];
    }

    QStringList sentences;
    sentences << QStringLiteral("Imported the profile %1 onto %2").arg(name, ChannelNames(result));
    sentences << (allBandForBand ? QStringLiteral("It matches Brenvox's own bands and was taken band for band")
                                 : QStringLiteral("Largest difference between its curve and the sliders: %1")
                                       .arg(PerChannel(result, result.largestDifferenceDb)));
    if (preamp[0] != 0 || preamp[1] != 0)
        sentences << QStringLiteral("Its preamp (%1) is not applied: set the level by hand")
                         .arg(PerChannel(result, result.preampDb));
    if (!notUsed.isEmpty())
        sentences << QStringLiteral("Lines not used: %1").arg(notUsed.join(QLatin1String("; ")));
    result.message = sentences.join(QLatin1String(". ")) + QLatin1Char('.');
    return result;
}

Result FromAudiogram(const QString &name, const QString &text, const EqualizerSettings &current)
{
    std::vector<TargetCurve::Point> boosts[2];
    bool titlesAllowed = true;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int index = 0; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("line %1 (\"%2\")").arg(index + 1).arg(line.left(80));
        const QStringList fields = line.split(QLatin1Char(','));
        double values[3] = {0, 0, 0};
        bool numbers = fields.size() == 3;
        for (int field = 0; numbers && field < 3; ++field)
            numbers = Number(fields[field].trimmed(), &values[field]);
        const bool first = std::exchange(titlesAllowed, false);
        if (!numbers && first)
            continue;
        if (!numbers)
            return Refused(name, where + QLatin1String(" is not a frequency, a left and a right level"));
        if (values[0] < 20 || values[0] > 20000)
            return Refused(name, where + QLatin1String(" has a frequency outside 20 to 20000 Hz"));
        if (values[1] < -20 || values[1] > 120 || values[2] < -20 || values[2] > 120)
            return Refused(name, where + QLatin1String(" has a level outside -20 to 120 dB HL"));
        for (int channel = 0; channel < 2; ++channel) {
            for (const TargetCurve::Point &point : boosts[channel]) {
                if (point.frequency == values[0])
                    return Refused(name, where + QLatin1String(" repeats a frequency"));
            }
            boosts[channel].push_back({values[0], std::max(0.0, values[channel + 1]) / 2});
        }
    }
    if (boosts[0].empty())
        return Refused(name, QStringLiteral("it holds no audiogram rows"));

    Result result;
    result.ok = true;
    result.settings = current;
    for (int channel = 0; channel < 2; ++channel) {
        std::sort(boosts[channel].begin(), boosts[channel].end(),
            [](const TargetCurve::Point &a, const TargetCurve::Point &b) { return a.frequency < b.frequency; });
        std::vector<double> target;
        for (const double frequency : BandFrequencies())
            target.push_back(TargetCurve::InterpolatedDb(boosts[channel], frequency));
        SetChannel(result, channel, target);
    }
    result.message = QStringLiteral("Imported the audiogram %1 as a comfort setting (half of each hearing loss "
                                    "as a boost), not a hearing aid. Largest difference between its curve and "
                                    "the sliders: %2.")
                         .arg(name, PerChannel(result, result.largestDifferenceDb));
    return result;
}

Result ImportFile(const QString &path, const EqualizerSettings &current, double sampleRate)
{
    QString text;
    QString problem;
    if (!SmallTextFile::Read(path, &text, &problem))
        return Refused(path, problem);
    const Result result = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)
        ? FromAudiogram(path, text, current)
        : FromText(path, text, current, sampleRate);
    // What the model would refuse is never reported as imported.
    const std::string refused = result.settings.Problem();
    if (result.ok && !refused.empty())
        return Refused(path, QString::fromStdString(refused));
    return result;
}

QString Refusal(const QString &name, const QString &problem)
{
    return QStringLiteral("Cannot import the profile %1: %2.").arg(name, problem);
}

bool Load(const QString &path, EqualizerModel &model, QString *message, double sampleRate)
{
    const Result result = ImportFile(path, model.Settings(), sampleRate);
    *message = result.message;
    if (result.ok && !model.SetSettings(result.settings)) {
        *message = Refusal(path, QString::fromStdString(result.settings.Problem()));
        return false;
    }
    return result.ok;
}

} // namespace ProfileImport
