// Writes the played chains as a PipeWire filter-chain of builtin biquads.
#include "core/presets/PipeWireExport.h"

#include "dsp/AsDrawn.h"
#include "core/equalizer/ChannelPlan.h"

#include <QStringList>

#include <cmath>

namespace {

// Nine digits keep the biquads within a hundredth of a dB of the chain's.
QString Number(double value)
{
    return QString::number(value, 'g', 9);
}

QString Node(const QString &name, const char *label, const QString &controls)
{
    return QStringLiteral("                    { type = builtin name = %1 label = %2 control = { %3 } }\n")
        .arg(name, QLatin1String(label), controls);
}

} // namespace

namespace PipeWireExport {

QString Text(const ProfileExport::Chains &chains)
{
    QString nodes, links;
    QStringList inputs, outputs;
    const char *const sides[] = {"left", "right"};
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const ChannelResponse::Chain &chain = chains[channel];
        const QString side = QLatin1String(sides[channel]);
        // The mixer's one input is the level, the preamp and the "Avoid
        // clipping" cut as one factor.
        const double gain = chain.volume > 0 ? chain.volume * std::pow(10.0, (chain.preampDb + chain.preGainDb) / 20) : 0;
        QString last = side + QLatin1String("_preamp");
        nodes += Node(last, "mixer", QStringLiteral("\"Gain 1\" = %1").arg(Number(gain)));
        inputs << QStringLiteral("\"%1:In 1\"").arg(last);
        const auto append = [&](const QString &name, const char *label, const QString &controls) {
            nodes += Node(name, label, controls);
            links += QStringLiteral("                    { output = \"%1:Out\" input = \"%2:In\" }\n").arg(last, name);
            last = name;
        };
        if (chain.lowCut)
            append(side + QLatin1String("_low_cut"), "bq_highpass",
                   QStringLiteral("\"Freq\" = %1 \"Q\" = %2")
                       .arg(Number(ChannelResponse::LowCutFrequency), Number(ChannelResponse::LowCutQ)));
        for (int band = 0; band < ChannelResponse::BandCount; ++band) {
            if (!chain.inChain[band] || chain.gainsDb[band] == 0)
                continue;
            const double frequency = chain.bandFrequencies[band];
            append(QStringLiteral("%1_band_%2").arg(side).arg(band + 1), "bq_peaking",
                   QStringLiteral("\"Freq\" = %1 \"Q\" = %2 \"Gain\" = %3")
                       .arg(Number(frequency),
                            Number(BiquadResponse::QFromOctaves(frequency, chain.widthsOctaves[band], chain.sampleRate)),
                            QString::fromStdString(AsDrawn::GainText(chain.gainsDb[band]))));
        }
        outputs << QStringLiteral("\"%1:Out\"").arg(last);
    }
    return QStringLiteral(
               "# Brenvox equalizer for every program: each ear's chain as Brenvox plays it, for a PipeWire graph\n"
               "# at %1 Hz. Put this file in ~/.config/pipewire/pipewire.conf.d/, restart PipeWire\n"
               "# (systemctl --user restart pipewire) and choose \"Brenvox equalizer\" as the sound output.\n"
               "context.modules = [\n"
               "    { name = libpipewire-module-filter-chain\n"
               "        args = {\n"
               "            node.description = \"Brenvox equalizer\"\n"
               "            media.name = \"Brenvox equalizer\"\n"
               "            filter.graph = {\n"
               "                nodes = [\n%2"
               "                ]\n"
               "                links = [\n%3"
               "                ]\n"
               "                inputs = [ %4 ]\n"
               "                outputs = [ %5 ]\n"
               "            }\n"
               "            audio.channels = 2\n"
               "            audio.position = [ FL FR ]\n"
               "            capture.props = {\n"
               "                node.name = \"effect_input.brenvox\"\n"
               "                media.class = Audio/Sink\n"
               "            }\n"
               "            playback.props = {\n"
               "                node.name = \"effect_output.brenvox\"\n"
               "                node.passive = true\n"
               "            }\n"
               "        }\n"
               "    }\n"
               "]\n")
        .arg(Number(chains[0].sampleRate), nodes, links, inputs.join(QLatin1Char(' ')), outputs.join(QLatin1Char(' ')));
}

QString Text(const EqualizerSettings &settings)
{
    // With "Avoid clipping" on, each chain is cut as if a program played at
    // full scale, as any may.
    return Text(PlayedChains(settings, int(SampleRate), 0.0));
}

} // namespace PipeWireExport
