// Builds the preview player's graph and its live commands.
#include "core/tools/PreviewGraph.h"

#include "core/equalizer/BandTable.h"
#include "dsp/BiquadResponse.h"
#include "dsp/EqualizerSettings.h"
#include "core/tools/CommandText.h"

#include <algorithm>

namespace {

using ChannelResponse::Chain;

// Frames this short keep what the player has queued past a command (nine
// frames and the audio device's buffer) within the time a change must be
// heard in.
const QLatin1String ShortFrames("asetnsamples=n=128:p=1");
const QLatin1String MonoLayout("aformat=channel_layouts=mono");

// The slowest band at the narrowest bandwidth (20 Hz at +12 dB) lets what a
// change leaves in it fall to 1/e within 45 ms, heard as the click of any
// change. Slower ones were measured to leave an offset of a few hundredths
// of full scale for a tenth of a second (20 Hz at 5 octaves) up to one
// that never decays (the top band from 5 octaves at 44.1 kHz).
constexpr double LongestDecaySeconds = 0.05;

QString Number(double value)
{
    return QString::number(value, 'g', 10);
}

// "volume=" with 0 or less silences, as the export's level does.
QString Level(const Chain &chain)
{
    return Number(std::max(0.0, chain.volume));
}

// A band that acts at the narrowest bandwidth has its element in the graph;
// at a bandwidth where it cannot act, the element keeps a width at which it
// is finite. Its state runs on while disabled, and one sample through
// coefficients that are not finite would leave it NaN for good.
bool Present(const Chain &chain, int band)
{
    return BandTable::BandActs(band, int(chain.sampleRate), EqualizerSettings::BandwidthMinimum);
}

bool Finite(const Chain &chain, int band)
{
    return BandTable::BandActs(band, int(chain.sampleRate), chain.widthsOctaves[band]);
}

// A band the low cut replaces stays in the graph with no gain. A band moved
// back to the centre (-0.0) is written as 0, as the player only hears it.
double GainDb(const Chain &chain, int band)
{
    return chain.inChain[band] ? chain.gainsDb[band] + 0.0 : 0.0;
}

// A band at exactly 0 dB passes the sound as it came: disabled, ffmpeg
// hands its input on instead of its output. Its state running on, a band
// moved off 0 comes in on the next frame, without a click.
bool Enabled(const Chain &chain, int band)
{
    return Finite(chain, band) && GainDb(chain, band) != 0;
}

QString Escaped(const QString &text, const QString &special)
{
    QString escaped;
    for (const QChar c : text) {
        if (special.contains(c))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

QString ChannelElements(const QString &name, const Chain &chain)
{
    QString text = QStringLiteral("volume@%1level=volume=%2,volume@%1preamp=volume=%6dB,volume@%1pre=volume=%3dB,"
                                  "highpass@%1cut=f=%4:enable=%5")
                       .arg(name, Level(chain), Number(chain.preGainDb),
                            Number(ChannelResponse::LowCutFrequency),
                            QLatin1String(chain.lowCut ? "1" : "0"), Number(chain.preampDb));
    for (int band = 0; band < ChannelResponse::BandCount; ++band) {
        if (!Present(chain, band))
            continue;
        text += QStringLiteral(",equalizer@%1%2=f=%3:width_type=o:width=%4:g=%5")
                    .arg(name, QString::number(band), BandTable::FrequencyText(band),
                         Number(Finite(chain, band) ? chain.widthsOctaves[band] : EqualizerSettings::BandwidthMinimum),
                         Number(GainDb(chain, band)));
        if (!Enabled(chain, band))
            text += QLatin1String(":enable=0");
    }
    return text;
}

} // namespace

namespace PreviewGraph {

QString GraphOptionValue(const QString &text)
{
    return Escaped(Escaped(text, QStringLiteral("\\:'=")), QStringLiteral("\\',;[]"));
}

QString ChannelReader(const QString &wav, double startSeconds)
{
    QString reader = QLatin1String("amovie=") + GraphOptionValue(CommandText::ToolFile(wav));
    if (startSeconds > 0)
        reader += QLatin1String(":sp=") + Number(startSeconds);
    return reader + QLatin1Char(',') + ShortFrames;
}

QString Graph(const Layout &layout)
{
    QString head = QStringLiteral("[in]");
    if (!layout.controlSocket.isEmpty())
        head += QLatin1String("azmq=bind_address=")
            + GraphOptionValue(QLatin1String("ipc://") + layout.controlSocket) + QLatin1Char(',');
    head += MonoLayout;
    const QString select = QStringLiteral("astreamselect@bypass=inputs=2:map=%1[out]")
                               .arg(layout.bypass ? 1 : 0);
    const QString name0 = layout.names.value(0, QStringLiteral("L"));
    if (layout.chains.size() < 2) {
        const Chain chain = layout.chains.empty() ? Chain() : layout.chains.front();
        return head + QLatin1String(",asplit[dry][wet];[wet]") + ChannelElements(name0, chain)
            + QLatin1String("[eq];[eq][dry]") + select;
    }
    const QString name1 = layout.names.value(1, QStringLiteral("R"));
    return head + QLatin1String(",asplit[Ldry][Lwet];") + ChannelReader(layout.rightWav, layout.startSeconds)
        + QLatin1Char(',') + MonoLayout + QLatin1String(",asplit[Rdry][Rwet];[Lwet]")
        + ChannelElements(name0, layout.chains[0]) + QLatin1String("[Leq];[Rwet]")
        + ChannelElements(name1, layout.chains[1])
        + QLatin1String("[Req];[Leq][Req]join=inputs=2:channel_layout=stereo[eq];"
                        "[Ldry][Rdry]join=inputs=2:channel_layout=stereo[dry];[eq][dry]")
        + select;
}

QStringList Commands(const QString &name, const Chain &playing, const Chain &wanted)
{
    QStringList commands;
    if (Level(playing) != Level(wanted))
        commands << QStringLiteral("volume@%1level volume %2").arg(name, Level(wanted));
    if (playing.preampDb != wanted.preampDb)
        commands << QStringLiteral("volume@%1preamp volume %2dB").arg(name, Number(wanted.preampDb));
    if (playing.preGainDb != wanted.preGainDb)
        commands << QStringLiteral("volume@%1pre volume %2dB").arg(name, Number(wanted.preGainDb));
    if (playing.lowCut != wanted.lowCut)
        commands << QStringLiteral("highpass@%1cut enable %2")
                        .arg(name, QLatin1String(wanted.lowCut ? "1" : "0"));
    for (int band = 0; band < ChannelResponse::BandCount; ++band) {
        if (!Present(wanted, band))
            continue;
        const bool width = playing.widthsOctaves[band] != wanted.widthsOctaves[band];
        const QString element = QStringLiteral("equalizer@%1%2").arg(name).arg(band);
        const bool wasEnabled = Enabled(playing, band);
        const bool enabled = Enabled(wanted, band);
        if (wasEnabled && !enabled)
            commands << element + QLatin1String(" enable 0");
        // An element keeps the last width it was finite at.
        if (Finite(wanted, band) && (width || !Finite(playing, band)))
            commands << element + QLatin1String(" w ") + Number(wanted.widthsOctaves[band]);
        if (GainDb(playing, band) != GainDb(wanted, band))
            commands << element + QLatin1String(" g ") + Number(GainDb(wanted, band));
        if (enabled && !wasEnabled)
            commands << element + QLatin1String(" enable 1");
    }
    return commands;
}

bool NeedsFreshState(const Chain &playing, const Chain &wanted)
{
    for (int band = 0; band < ChannelResponse::BandCount; ++band) {
        const bool width = playing.widthsOctaves[band] != wanted.widthsOctaves[band];
        // What a disabled band holds is not heard, and it is heard again
        // only after a change of coefficients that this looks at then.
        if (!Present(wanted, band) || !Enabled(wanted, band))
            continue;
        const bool changed = width || !Enabled(playing, band) || GainDb(playing, band) != GainDb(wanted, band);
        if (changed
            && BiquadResponse::DecaySeconds(
                   BiquadResponse::EqualizerElement(BandTable::FrequencyHz(band), GainDb(wanted, band),
                                                    wanted.widthsOctaves[band], wanted.sampleRate),
                   wanted.sampleRate)
                > LongestDecaySeconds)
            return true;
    }
    return false;
}

QString BypassCommand(bool bypass)
{
    return QStringLiteral("astreamselect@bypass map %1").arg(bypass ? 1 : 0);
}

} // namespace PreviewGraph
