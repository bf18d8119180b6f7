#include "cli/CommandLine.h"

#include "dsp/EqualizerSettings.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

CommandLineRequest Refused(const QString &why)
{
    CommandLineRequest request;
    request.action = CommandLineRequest::Action::Error;
    request.text = why + QLatin1Char('\n');
    return request;
}

// "N=DB": band 1..65 from the lowest, whole dB within ±12.
bool ReadBand(const QString &text, int channel, CommandLineRequest::BandGain *gain)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+)=([+-]?\\d+)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    // A number too long for an int reads as 0 without the check.
    bool bandRead = false;
    bool decibelsRead = false;
    const int band = match.captured(1).toInt(&bandRead);
    const int decibels = match.captured(2).toInt(&decibelsRead);
    if (!bandRead || !decibelsRead || band < 1 || band > 65 || decibels < -12 || decibels > 12)
        return false;
    *gain = {channel, band - 1, decibels};
    return true;
}

} // namespace

CommandLineRequest ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Brenvox: a stereo graphic equalizer with 65 bands per channel.\n"
                       "Without --export or --output-dir it opens its window, with FILE opened and\n--preset loaded."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption exportTo(QStringLiteral("export"),
        QStringLiteral("Equalize the one INPUT into OUTPUT without a window; its extension picks the format."),
        QStringLiteral("OUTPUT"));
    const QCommandLineOption outputDir(QStringLiteral("output-dir"),
        QStringLiteral("Equalize every INPUT into DIR without a window, under its own name."),
        QStringLiteral("DIR"));
    const QCommandLineOption format(QStringLiteral("format"),
        QStringLiteral("The extension of the files --output-dir writes (default: wav)."),
        QStringLiteral("EXTENSION"));
    const QCommandLineOption jobs(QStringLiteral("jobs"),
        QStringLiteral("How many files --output-dir equalizes at once (default: one a core)."),
        QStringLiteral("N"));
    const QCommandLineOption preset(QStringLiteral("preset"),
        QStringLiteral("Equalizer settings from a preset file."), QStringLiteral("PRESET.json"));
    const QCommandLineOption leftBand(QStringLiteral("left-band"),
        QStringLiteral("Set left band N (1-65, lowest first) to DB (-12..12); repeatable."),
        QStringLiteral("N=DB"));
    const QCommandLineOption rightBand(QStringLiteral("right-band"),
        QStringLiteral("Set right band N (1-65, lowest first) to DB (-12..12); repeatable."),
        QStringLiteral("N=DB"));
    const QCommandLineOption lowCut(QStringLiteral("low-cut"), QStringLiteral("Switch the low-cut filter on."));
    const QCommandLineOption bandwidth(QStringLiteral("bandwidth"),
        QStringLiteral("The bandwidth of every band in octaves, 1-300."), QStringLiteral("W"));
    const QCommandLineOption profile(QStringLiteral("profile"),
        QStringLiteral("An equalizer profile or audiogram read over the preset, onto the channels it names."),
        QStringLiteral("FILE"));
    const QCommandLineOption asDrawn(QStringLiteral("as-drawn"),
        QStringLiteral("Switch \"As drawn\" on: the curve passes through the bands' settings."));
    const QCommandLineOption avoidClipping(QStringLiteral("avoid-clipping"),
        QStringLiteral("Switch \"Avoid clipping\" on: both channels lowered alike below full scale."));
    const QCommandLineOption leftPreamp(QStringLiteral("left-preamp"),
        QStringLiteral("The left channel's preamp in dB, -30..12."), QStringLiteral("DB"));
    const QCommandLineOption rightPreamp(QStringLiteral("right-preamp"),
        QStringLiteral("The right channel's preamp in dB, -30..12."), QStringLiteral("DB"));
    const QCommandLineOption overwrite(QStringLiteral("overwrite"),
        QStringLiteral("Replace an output file that exists."));
    parser.addOptions({exportTo, outputDir, format, jobs, preset, profile, leftBand, rightBand, lowCut,
                       bandwidth, asDrawn, avoidClipping, leftPreamp, rightPreamp, overwrite});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("An audio or video file to open, as Open does, or the INPUT files."),
                                 QStringLiteral("[FILE|INPUT...]"));

    CommandLineRequest request;
    if (!parser.parse(arguments))
        return Refused(parser.errorText());
    if (parser.isSet(help)) {
        request.action = CommandLineRequest::Action::Help;
        // Read before any application object exists, Qt cannot name the
        // program itself.
        request.text = parser.helpText().replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                                                 QStringLiteral("Usage: brenvox"));
        return request;
    }
    if (parser.isSet(version)) {
        request.action = CommandLineRequest::Action::Version;
        request.text = QStringLiteral("brenvox %1\n").arg(QStringLiteral(BRENVOX_VERSION));
        return request;
    }
    request.files = parser.positionalArguments();
    const bool single = parser.isSet(exportTo);
    const bool batch = parser.isSet(outputDir);
    const QCommandLineOption *const equalizerOptions[] = {&profile, &leftBand, &rightBand, &lowCut, &bandwidth,
                                                          &asDrawn, &avoidClipping, &leftPreamp, &rightPreamp,
                                                          &overwrite};
    const bool equalizerGiven = std::any_of(std::begin(equalizerOptions), std::end(equalizerOptions),
                                            [&parser](const QCommandLineOption *option) { return parser.isSet(*option); });
    const bool settingsGiven = parser.isSet(preset) || equalizerGiven;
    if (!single && !batch) {
        // A preset alone starts the window with it loaded.
        const bool presetOnly = parser.isSet(preset) && parser.values(preset).size() == 1 && !equalizerGiven;
        if ((settingsGiven && !presetOnly) || parser.isSet(format) || parser.isSet(jobs))
            return Refused(QStringLiteral("Equalizer options need --export or --output-dir."));
        request.preset = parser.value(preset);
        return request;
    }
    if (single && batch)
        return Refused(QStringLiteral("Give either --export or --output-dir, not both."));
    if (single && request.files.size() != 1)
        return Refused(QStringLiteral("--export takes exactly one INPUT."));
    if (batch && request.files.isEmpty())
        return Refused(QStringLiteral("--output-dir needs at least one INPUT."));
    if (single && (parser.isSet(format) || parser.isSet(jobs)))
        return Refused(QStringLiteral("--format and --jobs belong to --output-dir."));

    request.action = single ? CommandLineRequest::Action::Export : CommandLineRequest::Action::Batch;
    request.output = parser.value(exportTo);
    request.outputFolder = parser.value(outputDir);
    if (parser.isSet(format)) {
        request.format = parser.value(format);
        if (request.format.startsWith(QLatin1Char('.')))
            request.format.remove(0, 1);
        if (request.format.isEmpty() || request.format.contains(QLatin1Char('/')))
            return Refused(QStringLiteral("--format wants an extension such as flac."));
    }
    if (parser.isSet(jobs)) {
        bool ok = false;
        request.jobs = parser.value(jobs).toInt(&ok);
        if (!ok || request.jobs < 1)
            return Refused(QStringLiteral("--jobs wants a whole number of at least 1."));
    }
    request.preset = parser.value(preset);
    for (int channel = 0; channel < 2; ++channel) {
        for (const QString &value : parser.values(channel == 0 ? leftBand : rightBand)) {
            CommandLineRequest::BandGain gain{};
            if (!ReadBand(value, channel, &gain))
                return Refused(QStringLiteral("A band is set as N=DB, N from 1 to 65, DB from -12 to 12: not %1.").arg(value));
            request.bands << gain;
        }
    }
    request.lowCut = parser.isSet(lowCut);
    if (parser.isSet(bandwidth)) {
        bool ok = false;
        request.bandwidth = parser.value(bandwidth).toInt(&ok);
        if (!ok || request.bandwidth < 1 || request.bandwidth > 300)
            return Refused(QStringLiteral("--bandwidth wants a whole number from 1 to 300."));
    }
    request.profile = parser.value(profile);
    request.asDrawn = parser.isSet(asDrawn);
    request.avoidClipping = parser.isSet(avoidClipping);
    for (int channel = 0; channel < 2; ++channel) {
        const QCommandLineOption &option = channel == 0 ? leftPreamp : rightPreamp;
        if (!parser.isSet(option))
            continue;
        bool ok = false;
        const double db = parser.value(option).toDouble(&ok);
        const long tenths = ok && std::isfinite(db) ? std::lround(db * 10) : EqualizerSettings::PreampTenthsMaximum + 1;
        if (tenths < EqualizerSettings::PreampTenthsMinimum || tenths > EqualizerSettings::PreampTenthsMaximum)
            return Refused(QStringLiteral("--%1 wants a number of dB from -30 to 12.").arg(option.names().constFirst()));
        request.preampTenths[channel] = int(tenths);
    }
    request.overwrite = parser.isSet(overwrite);
    return request;
}
