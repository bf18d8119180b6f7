// Writes the settings as Preamp and Filter lines.
#include "core/presets/ProfileExport.h"

#include "dsp/BiquadResponse.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/OutputLevel.h"
#include "core/presets/SmallTextFile.h"
#include "core/tools/ChannelCommands.h"


#include <cmath>

namespace {

// The factor "volume=" receives: 0, 1 or 2.
double PreampDb(int levelPosition)
{
    const int volume = ChannelCommands::VolumeText(OutputLevelFromPosition(qint16(levelPosition)).level).toInt();
    return volume > 0 ? 20 * std::log10(double(volume)) : ProfileExport::SilentPreampDb;
}

QString Number(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

namespace ProfileExport {

QString Text(const EqualizerSettings &settings, double sampleRate)
{
    QString text = QStringLiteral("# Brenvox equalizer: bandwidth %1, sample rate %2 Hz\n")
                       .arg(settings.bandwidth)
                       .arg(Number(sampleRate));
    const char *const names[] = {"L", "R"};
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const ChannelSettings &values = settings.channels[channel];
        text += QStringLiteral("Channel: %1\n").arg(QLatin1String(names[channel]));
        const double preamp = PreampDb(values.levelPosition);
        if (preamp == SilentPreampDb)
            text += QStringLiteral("# The level is 0: this channel is silent.\n");
        text += QStringLiteral("Preamp: %1 dB\n").arg(Number(preamp));
        int firstBand = BandTable::FirstBand;
        if (settings.lowCut) {
            text += QStringLiteral("Filter: ON HP Fc 25 Hz Q 0.707\n");
            firstBand = BandTable::FirstBandAfterLowCut;
        }
        for (int band = firstBand; band <= BandTable::LastBand; ++band) {
            if (values.gains[band] == 0)
                continue;
            const QString frequency = BandTable::FrequencyText(band);
            const double q = BiquadResponse::QFromOctaves(frequency.toDouble(), settings.bandwidth, sampleRate);
            text += QStringLiteral("Filter: ON PK Fc %1 Hz Gain %2 dB Q %3\n")
                        .arg(frequency)
                        .arg(values.gains[band])
                        .arg(Number(q));
        }
    }
    return text;
}

bool Save(const QString &path, const EqualizerSettings &settings, QString *message, double sampleRate)
{
    QString problem;
    if (!SmallTextFile::Write(path, Text(settings, sampleRate).toUtf8(), &problem)) {
        *message = QStringLiteral("Cannot export to %1: %2.").arg(path, problem);
        return false;
    }
    message->clear();
    return true;
}

} // namespace ProfileExport
