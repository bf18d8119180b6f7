// Writes the played chains as Preamp and Filter lines, and recognises them.
#include "core/presets/ProfileExport.h"

#include "dsp/AsDrawn.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/ChannelPlan.h"
#include "core/presets/PresetFile.h"
#include "core/presets/SmallTextFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

const QLatin1String SettingsMark("# Brenvox settings: ");

QString Number(double value)
{
    return QString::number(value, 'g', 6);
}

// Everything that scales the channel as a whole, as one gain.
double PreampDb(const ChannelResponse::Chain &chain)
{
    if (!(chain.volume > 0))
        return ProfileExport::SilentPreampDb;
    return 20 * std::log10(chain.volume) + chain.preampDb + chain.preGainDb;
}

} // namespace

namespace ProfileExport {

QString Text(const EqualizerSettings &settings, const Chains &played)
{
    const double rate = played[0].sampleRate;
    // The settings ride along as one comment line, with what the text
    // depends on beyond them: the rate and the "Avoid clipping" cuts.
    QJsonObject saved = QJsonDocument::fromJson(PresetFile::ToJson(settings)).object();
    saved.insert(QLatin1String("sample_rate_hz"), rate);
    saved.insert(QLatin1String("pre_gain_db"), QJsonArray{played[0].preGainDb, played[1].preGainDb});
    QString text = QStringLiteral("# Brenvox equalizer: bandwidth %1, sample rate %2 Hz\n")
                       .arg(settings.bandwidth)
                       .arg(Number(rate));
    text += SettingsMark + QString::fromUtf8(QJsonDocument(saved).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
    const char *const names[] = {"L", "R"};
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const ChannelResponse::Chain &chain = played[channel];
        text += QStringLiteral("Channel: %1\n").arg(QLatin1String(names[channel]));
        const double preamp = PreampDb(chain);
        if (preamp == SilentPreampDb)
            text += QStringLiteral("# The level is 0: this channel is silent.\n");
        text += QStringLiteral("Preamp: %1 dB\n").arg(Number(preamp));
        if (chain.lowCut)
            text += QStringLiteral("Filter: ON HP Fc %1 Hz Q %2\n")
                        .arg(Number(ChannelResponse::LowCutFrequency), Number(ChannelResponse::LowCutQ));
        for (int band = 0; band < BandTable::BandCount; ++band) {
            if (!chain.inChain[band] || chain.gainsDb[band] == 0)
                continue;
            const double q = BiquadResponse::QFromOctaves(chain.bandFrequencies[band], chain.widthsOctaves[band], rate);
            text += QStringLiteral("Filter: ON PK Fc %1 Hz Gain %2 dB Q %3\n")
                        .arg(BandTable::FrequencyText(band),
                             QString::fromStdString(AsDrawn::GainText(chain.gainsDb[band])), Number(q));
        }
    }
    return text;
}

QString Text(const EqualizerSettings &settings, double sampleRate)
{
    return Text(settings, PlayedChains(settings, int(sampleRate), std::numeric_limits<double>::quiet_NaN()));
}

bool WrittenSettings(const QString &text, EqualizerSettings *settings)
{
    QString written = text;
    written.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const qsizetype mark = written.indexOf(QLatin1Char('\n') + SettingsMark);
    if (mark < 0)
        return false;
    const qsizetype start = mark + 1 + SettingsMark.size();
    const QByteArray json = written.mid(start, written.indexOf(QLatin1Char('\n'), start) - start).toUtf8();
    const QJsonObject saved = QJsonDocument::fromJson(json).object();
    const double rate = saved.value(QLatin1String("sample_rate_hz")).toDouble();
    const QJsonArray preGains = saved.value(QLatin1String("pre_gain_db")).toArray();
    EqualizerSettings read;
    QString problem;
    if (!(rate >= 1000 && rate <= 1e6) || preGains.size() != 2 || !PresetFile::FromJson(json, &read, &problem))
        return false;
    Chains chains = PlayedChains(read, int(rate), std::numeric_limits<double>::quiet_NaN());
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        chains[channel].preGainDb = preGains.at(channel).toDouble();
    // Any change to a line, even one that reads the same, makes it another
    // profile: it is then taken as the curve it describes.
    if (Text(read, chains) != written)
        return false;
    *settings = read;
    return true;
}

bool Save(const QString &path, const QString &text, QString *message)
{
    QString problem;
    if (!SmallTextFile::Write(path, text.toUtf8(), &problem)) {
        *message = QStringLiteral("Cannot export to %1: %2.").arg(path, problem);
        return false;
    }
    message->clear();
    return true;
}

} // namespace ProfileExport
