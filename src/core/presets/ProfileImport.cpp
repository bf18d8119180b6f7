// Turns a profile's curve into slider positions played as drawn, and
// measures how far what plays is from the curve.
#include "core/presets/ProfileImport.h"

#include "dsp/TargetCurve.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChannelPlan.h"
#include "core/equalizer/EqualizerModel.h"
#include "core/presets/Audiogram.h"
#include "core/presets/ProfileExport.h"
#include "core/presets/ProfileFormats.h"
#include "core/presets/SmallTextFile.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

using BiquadResponse::Filter;
using BiquadResponse::Kind;
using ProfileImport::Result;

namespace {

// Beyond this the bands are said not to follow the curve there.
constexpr double MissDb = 2;
// A notch's depth is unbounded at its centre; the curve is read down to here.
constexpr double DeepestDb = -120;
constexpr int GridPoints = 1500;
constexpr int RegionsShown = 4;
// The Q of a filter as wide as the space between two bands, about a sixth
// of an octave.
const double NarrowerThanBandsQ = 1 / (2 * std::sinh(std::log(2.0) / 2 * std::log2(20000.0 / 20) / 64));

const std::vector<double> &BandFrequencies()
{
    static const std::vector<double> frequencies = [] {
        std::vector<double> all;
        for (int band = 0; band < BandTable::BandCount; ++band)
            all.push_back(BandTable::FrequencyHz(band));
        return all;
    }();
    return frequencies;
}

QString Decibels(double value)
{
    return QString::number(value, 'f', 1) + QLatin1String(" dB");
}

QString ChannelNames(const std::array<bool, 2> &set)
{
    if (set[0] && set[1])
        return QStringLiteral("the left and right channels");
    return set[0] ? QStringLiteral("the left channel") : QStringLiteral("the right channel");
}

// "left 0.4 dB, right 1.2 dB" over the channels set, or one figure when
// both agree.
QString PerChannel(const std::array<bool, 2> &set, const std::array<QString, 2> &values)
{
    if (set[0] && set[1] && values[0] == values[1])
        return values[0];
    QStringList parts;
    for (int channel = 0; channel < 2; ++channel) {
        if (set[channel])
            parts << (channel == 0 ? QLatin1String("left ") : QLatin1String("right ")) + values[channel];
    }
    return parts.join(QLatin1String(", "));
}

struct Target
{
    std::array<TargetCurve::Curve, 2> curves;
    std::array<double, 2> preampDb{};
    std::array<bool, 2> covered{};
    // A profile's level is its own; an audiogram is lowered on purpose.
    bool offsetIntoPreamp = false;
    const std::atomic<bool> *stop = nullptr;
};

// A stretch of frequencies where the bands cannot follow, and why.
struct Region
{
    double from = 0, to = 0;
    QString why;
};

struct Fit
{
    double largestDb = 0;
    std::vector<Region> regions;
};

// Where the curve can be heard: 20 Hz to 20 kHz, or below half the rate.
std::vector<double> Grid(const TargetCurve::Curve &curve, double sampleRate)
{
    const double top = std::min(20000.0, 0.999 * sampleRate / 2);
    std::vector<double> grid(GridPoints);
    for (int i = 0; i < GridPoints; ++i)
        grid[size_t(i)] = 20 * std::pow(top / 20, double(i) / (GridPoints - 1));
    // A narrow filter is deepest at its centre, which the grid may step over.
    // Beyond as many centres as grid points only the narrowest are added,
    // so that the work grows with the filters and not their square.
    std::vector<const Filter *> centred;
    for (const Filter &filter : curve.filters)
        if (filter.frequency > 20 && filter.frequency < top)
            centred.push_back(&filter);
    if (centred.size() > size_t(GridPoints)) {
        std::nth_element(centred.begin(), centred.begin() + GridPoints, centred.end(),
                         [](const Filter *a, const Filter *b) { return a->q > b->q; });
        centred.resize(size_t(GridPoints));
    }
    for (const Filter *filter : centred)
        grid.push_back(filter->frequency);
    std::sort(grid.begin(), grid.end());
    return grid;
}

// The width of the played band closest to a frequency: "as drawn" gives
// each band its own.
double WidthNear(const ChannelResponse::Chain &played, double frequency)
{
    double width = played.widthsOctaves[0];
    double closest = std::numeric_limits<double>::infinity();
    for (int band = 0; band < ChannelResponse::BandCount; ++band) {
        const double distance = std::abs(std::log2(played.bandFrequencies[band] / frequency));
        if (played.inChain[band] && distance < closest) {
            closest = distance;
            width = played.widthsOctaves[band];
        }
    }
    return width;
}

// How far the chain's response (bands, low cut and preamp) is from the
// profile's curve and its preamp, and where the bands miss it by more than
// MissDb or are clamped to the range.
Fit FitOfPlayed(const ChannelResponse::Chain &played, const TargetCurve::Curve &curve, double preampDb,
                double offsetDb, int range, const std::atomic<bool> *stop)
{
    const std::vector<double> grid = Grid(curve, played.sampleRate);
    const std::vector<double> bands = ChannelResponse::FiltersDb(played, grid);
    const std::vector<double> targets = TargetCurve::CurveDb(curve, grid, played.sampleRate, stop);
    Fit fit;
    Region region;
    bool inRegion = false;
    double clampedFrom = 0, clampedTo = 0; // within the region
    double worst = 0;
    // Beyond the range over a stretch much narrower than a band is a notch
    // or a peak the bands cannot draw, however deep; at either end of the
    // grid nobody can tell how far it goes on.
    const auto close = [&] {
        const bool clamped = clampedFrom > 0;
        const bool narrow = std::log2(clampedTo / clampedFrom)
                < WidthNear(played, std::sqrt(clampedFrom * clampedTo)) / 3
            && clampedFrom > grid.front() && clampedTo < grid.back();
        region.why = played.lowCut && region.to < 60 && worst < 0 ? QStringLiteral("the low cut is on")
            : clamped && !narrow ? QStringLiteral("beyond the \u00b1%1 dB range").arg(range)
            : worst > 0          ? QStringLiteral("a notch narrower than the bands")
                                 : QStringLiteral("a peak narrower than the bands");
        fit.regions.push_back(region);
        inRegion = false;
        clampedFrom = clampedTo = worst = 0;
    };
    for (size_t i = 0; i < grid.size(); ++i) {
        // The sliders hold the curve less the part the preamp carries.
        const double target = std::max(DeepestDb, targets[i]) - offsetDb;
        const double miss = bands[i] - target;
        fit.largestDb = std::max(fit.largestDb, std::abs(miss + played.preampDb - offsetDb - preampDb));
        const bool clamped = std::abs(target) > range + 0.5;
        if (std::abs(miss) > MissDb || clamped) {
            if (!inRegion)
                region.from = grid[i];
            region.to = grid[i];
            inRegion = true;
            if (clamped && clampedFrom == 0)
                clampedFrom = grid[i];
            if (clamped)
                clampedTo = grid[i];
            if (std::abs(miss) > std::abs(worst))
                worst = miss;
        } else if (inRegion) {
            close();
        }
    }
    if (inRegion)
        close();
    return fit;
}

QString RegionsText(const std::vector<Region> &regions)
{
    QStringList parts;
    for (size_t i = 0; i < regions.size() && i < size_t(RegionsShown); ++i) {
        const Region &region = regions[i];
        const QString where = region.to < region.from * 1.06
            ? QStringLiteral("at %1").arg(ChannelPlanText::FrequencyText(std::sqrt(region.from * region.to)))
            : QStringLiteral("from %1 to %2").arg(ChannelPlanText::FrequencyText(region.from),
                                                  ChannelPlanText::FrequencyText(region.to));
        parts << QStringLiteral("%1 (%2)").arg(where, region.why);
    }
    if (regions.size() > size_t(RegionsShown))
        parts << QStringLiteral("%1 more").arg(regions.size() - size_t(RegionsShown));
    return parts.join(QLatin1String(", "));
}

// The common level the sliders leave to the preamp, in tenths of a dB as
// the preamp takes it: none when the curve fits the range; else the least
// that brings it within; when it spans more than the range, the level of
// its middle band, so most bands stay free and both ends are clamped
// alike. The preamp's own limits bound it.
double OffsetIntoPreamp(std::vector<double> atBands, double range, double preampDb)
{
    atBands.erase(std::remove_if(atBands.begin(), atBands.end(), [](double db) { return std::isnan(db); }), atBands.end());
    if (atBands.empty())
        return 0;
    std::sort(atBands.begin(), atBands.end());
    const double least = atBands.back() - range, most = atBands.front() + range;
    const double offset = least <= most ? std::clamp(0.0, least, most)
                                        : std::clamp(atBands[atBands.size() / 2], most, least);
    const double lowest = std::min(0.0, EqualizerSettings::PreampTenthsMinimum / 10.0 - preampDb);
    const double highest = std::max(0.0, EqualizerSettings::PreampTenthsMaximum / 10.0 - preampDb);
    return std::round(std::clamp(offset, lowest, highest) * 10) / 10;
}

struct Applied
{
    Result result;
    std::array<Fit, 2> fits;
};

// The target's curve sampled onto the sliders of each channel it covers,
// its preamp into the preamp control, "As drawn" on; then the chains those
// settings play, measured against it.
Applied Apply(const Target &target, EqualizerSettings settings, double sampleRate)
{
    Applied applied;
    Result &result = applied.result;
    settings.asDrawn = true;
    const double range = settings.range;
    for (int channel = 0; channel < 2; ++channel) {
        if (!target.covered[channel])
            continue;
        ChannelSettings &sliders = settings.channels[channel];
        // A notch or a peak narrower than the bands cannot be drawn by them:
        // sampled on a band's frequency it would pull that band, and with it
        // the curve's level, a sixth of an octave wide. It is measured and
        // named all the same.
        TargetCurve::Curve broad = target.curves[channel];
        broad.filters.erase(std::remove_if(broad.filters.begin(), broad.filters.end(), [](const Filter &filter) {
                                return (filter.kind == Kind::Peaking || filter.kind == Kind::Notch)
                                    && filter.q > NarrowerThanBandsQ;
                            }), broad.filters.end());
        const std::vector<double> atBands = TargetCurve::CurveDb(broad, BandFrequencies(), sampleRate, target.stop);
        const double offset = target.offsetIntoPreamp ? OffsetIntoPreamp(atBands, range, target.preampDb[channel]) : 0;
        for (int band = 0; band < BandTable::BandCount; ++band) {
            const double db = atBands[size_t(band)] - offset;
            sliders.gains[size_t(band)] = std::isnan(db) ? 0 : int(std::clamp(std::round(db), -range, range));
        }
        sliders.moved.fill(true);
        result.offsetDb[channel] = offset;
        sliders.preampTenths = int(std::clamp(std::round((target.preampDb[channel] + offset) * 10),
                                              double(EqualizerSettings::PreampTenthsMinimum),
                                              double(EqualizerSettings::PreampTenthsMaximum)));
        result.channelsSet[channel] = true;
        result.preampDb[channel] = target.preampDb[channel];
    }
    ChannelPlanner planner;
    for (int channel = 0; channel < 2; ++channel) {
        if (!target.covered[channel])
            continue;
        planner.Update(settings, channel, int(sampleRate), std::numeric_limits<double>::quiet_NaN());
        applied.fits[channel] = FitOfPlayed(planner.Plan(channel).chain, target.curves[channel],
                                            target.preampDb[channel], result.offsetDb[channel], settings.range,
                                            target.stop);
        result.largestDifferenceDb[channel] = applied.fits[channel].largestDb;
    }
    result.ok = true;
    result.settings = settings;
    return applied;
}

// The largest difference and where the bands cannot follow.
QStringList PlayedSentences(const Applied &applied)
{
    const Result &result = applied.result;
    std::array<QString, 2> figures, misses;
    std::array<bool, 2> missing{};
    for (int channel = 0; channel < 2; ++channel) {
        figures[channel] = ChannelPlanText::UpToText(result.largestDifferenceDb[channel]);
        misses[channel] = RegionsText(applied.fits[channel].regions);
        missing[channel] = result.channelsSet[channel] && !misses[channel].isEmpty();
    }
    QStringList sentences{QStringLiteral("Largest difference between its curve and what plays: %1")
                              .arg(PerChannel(result.channelsSet, figures))};
    if (missing[0] || missing[1])
        sentences << QStringLiteral("The bands cannot follow it: %1").arg(PerChannel(missing, misses));
    return sentences;
}

QString PreampSentence(const Result &result)
{
    std::array<QString, 2> written, set, offsets;
    bool clamped = false, any = false, offset = false;
    for (int channel = 0; channel < 2; ++channel) {
        const double applied = result.settings.channels[channel].PreampDb();
        const double wanted = result.preampDb[channel] + result.offsetDb[channel];
        written[channel] = Decibels(result.preampDb[channel]);
        set[channel] = Decibels(applied);
        offsets[channel] = Decibels(result.offsetDb[channel]);
        clamped = clamped || (result.channelsSet[channel] && std::abs(applied - wanted) > 0.05);
        any = any || (result.channelsSet[channel] && applied != 0);
        offset = offset || (result.channelsSet[channel] && result.offsetDb[channel] != 0);
    }
    if (offset)
        return QStringLiteral("Its curve lies beyond the \u00b1%1 dB range, so the preamp carries %2 of it: the preamp "
                              "is set to %3")
            .arg(result.settings.range).arg(PerChannel(result.channelsSet, offsets), PerChannel(result.channelsSet, set));
    if (clamped)
        return QStringLiteral("Its preamp (%1) lies beyond -30 to 12 dB: the preamp is set to %2")
            .arg(PerChannel(result.channelsSet, written), PerChannel(result.channelsSet, set));
    return any ? QStringLiteral("Its preamp is set: %1").arg(PerChannel(result.channelsSet, set)) : QString();
}

QString Sentences(QStringList sentences)
{
    sentences.removeAll(QString());
    return sentences.join(QLatin1String(". ")) + QLatin1Char('.');
}

// An older Brenvox export: peaking filters on the band frequencies with
// whole gains and the Q of the current bandwidth at the rate it was written
// for. Sampling their overlapping sum would not give the sliders back, so
// they are read band for band.
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
        if (taken[size_t(band)] || filter.gainDb != std::round(filter.gainDb)
            || std::abs(octaves - bandwidth) > 1e-3 * bandwidth)
            return false;
        taken[size_t(band)] = true;
        byBand[size_t(band)] = filter.gainDb;
    }
    *gains = byBand;
    return true;
}

// The rate an export's first line names, else the one given.
double WrittenRate(const QString &text, double sampleRate)
{
    static const QRegularExpression header(QStringLiteral("^# Brenvox equalizer: bandwidth \\d+, sample rate (\\d+) Hz"));
    const QRegularExpressionMatch match = header.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : sampleRate;
}

Result Refused(const QString &name, const QString &problem)
{
    Result result;
    result.message = ProfileImport::Refusal(name, problem);
    return result;
}

Result FromProfile(const QString &name, const ProfileFormats::Profile &profile, const EqualizerSettings &current,
                   double sampleRate, const std::atomic<bool> *stop, const QString &text = QString())
{
    Target target;
    target.stop = stop;
    target.curves = profile.curves;
    target.preampDb = profile.preampDb;
    target.covered = profile.covered;
    const QString notUsed = profile.notUsed.isEmpty()
        ? QString() : QStringLiteral("Lines not used: %1").arg(ProfileFormats::Listed(profile.notUsed, QStringLiteral("; ")));

    std::array<std::vector<double>, 2> byBand;
    bool bandForBand = !text.isEmpty();
    for (int channel = 0; channel < 2 && bandForBand; ++channel)
        bandForBand = !profile.covered[channel]
            || BandForBand(profile.curves[channel], current.bandwidth, WrittenRate(text, sampleRate), &byBand[size_t(channel)]);
    if (bandForBand) {
        Applied applied = Apply(target, current, sampleRate);
        Result &result = applied.result;
        // The file is the sum of its bands, which is what plays with "As
        // drawn" off.
        result.settings.asDrawn = false;
        for (int channel = 0; channel < 2; ++channel) {
            for (int band = 0; band < BandTable::BandCount && profile.covered[channel]; ++band)
                result.settings.channels[channel].gains[size_t(band)] = int(byBand[size_t(channel)][size_t(band)]);
            result.largestDifferenceDb[channel] = 0;
        }
        result.message = Sentences({QStringLiteral("Imported the profile %1 onto %2").arg(name, ChannelNames(result.channelsSet)),
                                    QStringLiteral("It matches Brenvox's own bands and was taken band for band"),
                                    PreampSentence(result), notUsed});
        return result;
    }
    target.offsetIntoPreamp = true;
    Applied applied = Apply(target, current, sampleRate);
    Result &result = applied.result;
    result.message = Sentences(QStringList{QStringLiteral("Imported the profile %1 onto %2, with \"As drawn\" on")
                                               .arg(name, ChannelNames(result.channelsSet))}
                               + PlayedSentences(applied) + QStringList{PreampSentence(result), notUsed});
    return result;
}

Result FromLevels(const QString &name, const Audiogram::Levels &levels, const EqualizerSettings &current,
                  double sampleRate, const std::atomic<bool> *stop = nullptr)
{
    Target target;
    target.stop = stop;
    double largest = 0;
    for (int ear = 0; ear < 2; ++ear) {
        std::vector<TargetCurve::Point> boosts;
        for (const TargetCurve::Point &level : levels.ears[size_t(ear)])
            boosts.push_back({level.frequency, std::max(0.0, level.gainDb) / 2});
        for (const double frequency : BandFrequencies())
            largest = std::max(largest, TargetCurve::InterpolatedDb(boosts, frequency));
        target.curves[size_t(ear)].graphics.push_back(boosts);
        target.covered[size_t(ear)] = true;
    }
    // One offset for both ears keeps the difference between them, which is
    // what sets one ear's boosts apart from the other's.
    const double offset = std::max(0.0, largest - current.range);
    for (TargetCurve::Curve &curve : target.curves)
        for (TargetCurve::Point &point : curve.graphics.front())
            point.gainDb -= offset;
    EqualizerSettings settings = current;
    settings.avoidClipping = true;
    Applied applied = Apply(target, settings, sampleRate);
    Result &result = applied.result;
    result.audiogram = true;
    QStringList sentences{QStringLiteral("Imported the audiogram %1 as a comfort setting (half of each hearing loss as "
                                         "a boost), not a hearing aid, with \"As drawn\" and \"Avoid clipping\" on")
                              .arg(name)};
    if (offset > 0)
        sentences << QStringLiteral("Both ears are set %1 below half their loss so that the largest boost fits the "
                                    "\u00b1%2 dB range; the difference between the ears is kept")
                         .arg(Decibels(offset)).arg(current.range);
    sentences << PlayedSentences(applied);
    if (!levels.notUsed.isEmpty())
        sentences << QStringLiteral("Lines not used: %1").arg(ProfileFormats::Listed(levels.notUsed, QStringLiteral("; ")));
    result.message = Sentences(sentences);
    return result;
}

} // namespace

namespace ProfileImport {

const char AudiogramLabel[] =
    "Comfort setting from an audiogram: half of each ear's hearing loss as a boost, "
    "within the EQ range. This is not a hearing aid.";

Result FromText(const QString &name, const QString &text, const EqualizerSettings &current, double sampleRate,
                const std::atomic<bool> *stop)
{
    EqualizerSettings written;
    if (ProfileExport::WrittenSettings(text, &written)) {
        Result result;
        result.ok = true;
        result.settings = written;
        result.channelsSet = {true, true};
        result.message = QStringLiteral("Imported the profile %1: Brenvox wrote it, and its settings are taken as "
                                        "they were.").arg(name);
        return result;
    }
    ProfileFormats::Profile profile;
    QString problem;
    if (!ProfileFormats::FromConfiguration(text, sampleRate, &profile, &problem, stop))
        return Refused(name, problem);
    return FromProfile(name, profile, current, sampleRate, stop, text);
}

Result FromAudiogram(const QString &name, const QString &text, const EqualizerSettings &current, double sampleRate)
{
    Audiogram::Levels levels;
    QString problem;
    if (!Audiogram::FromCsv(text, &levels, &problem))
        return Refused(name, problem);
    return FromLevels(name, levels, current, sampleRate);
}

Result ImportFile(const QString &path, const EqualizerSettings &current, double sampleRate, const QString &listener,
                  const std::atomic<bool> *stop)
{
    QString text;
    QString problem;
    if (!SmallTextFile::Read(path, &text, &problem))
        return Refused(path, problem);
    Result result;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    QJsonObject json = document.object();
    QString name = path;
    const QStringList listeners = Audiogram::Listeners(document);
    if (!listeners.isEmpty()) {
        const QString chosen = listener.isEmpty() && listeners.size() == 1 ? listeners.front() : listener;
        if (chosen.isEmpty()) {
            result = Refused(path, QStringLiteral("it holds the audiograms of %1 listeners (%2): choose one")
                                       .arg(listeners.size()).arg(ProfileFormats::Listed(listeners, QStringLiteral(", "))));
            result.listeners = listeners;
            return result;
        }
        json = Audiogram::Listener(document, chosen);
        if (json.isEmpty())
            return Refused(path, QStringLiteral("it holds no listener %1, only %2").arg(chosen, ProfileFormats::Listed(listeners, QStringLiteral(", "))));
        name = QStringLiteral("%1 (listener %2)").arg(path, chosen);
    }
    ProfileFormats::Profile profile;
    Audiogram::Levels levels;
    if (Audiogram::IsAudiogramJson(json)) {
        result = Audiogram::FromJson(json, &levels, &problem) ? FromLevels(name, levels, current, sampleRate, stop)
                                                              : Refused(name, problem);
    } else if (ProfileFormats::IsSplitChannelPreset(json)) {
        result = ProfileFormats::FromSplitChannelPreset(json, sampleRate, &profile, &problem)
            ? FromProfile(path, profile, current, sampleRate, stop)
            : Refused(path, problem);
    } else if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) && ProfileFormats::IsEqualizationCsv(text)) {
        result = ProfileFormats::FromEqualizationCsv(text, &profile, &problem)
            ? FromProfile(path, profile, current, sampleRate, stop)
            : Refused(path, problem);
    } else if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        result = FromAudiogram(path, text, current, sampleRate);
    } else {
        result = FromText(path, text, current, sampleRate, stop);
    }
    if (stop && *stop)
        return Refused(path, QStringLiteral("the import was stopped"));
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

EqualizerSettings Applied(const Result &result, const EqualizerSettings &current)
{
    EqualizerSettings settings = result.settings;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        if (!result.channelsSet[channel])
            settings.channels[channel] = current.channels[channel];
    }
    return settings;
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
