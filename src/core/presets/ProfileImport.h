// Profiles from other tools onto the band sliders: Preamp/Filter/GraphicEQ
// configuration text, and per-ear audiograms as CSV.
#pragma once

#include "dsp/BiquadResponse.h"
#include "dsp/EqualizerSettings.h"

#include <QString>

#include <array>

class EqualizerModel;

namespace ProfileImport {

// For the window that offers audiogram import: the curve is a comfort
// setting and must never pass for a hearing aid.
extern const char AudiogramLabel[];

struct Result
{
    bool ok = false;
    // The settings given, with the channels the profile names replaced:
    // every band of such a channel is set (moved). Range, levels and the
    // options are kept, the sync included: nothing is copied between channels.
    EqualizerSettings settings;
    std::array<bool, EqualizerSettings::ChannelCount> channelsSet{};
    // Per channel: the largest |target - slider gain| over the 65 bands.
    std::array<double, EqualizerSettings::ChannelCount> largestDifferenceDb{};
    // Per channel: the profile's preamp, reported but not applied.
    std::array<double, EqualizerSettings::ChannelCount> preampDb{};
    // What was done (channels, difference, preamp, lines not used) or, when
    // !ok, the one thing that is wrong; it names the file either way.
    QString message;
};

// A file whose name ends in ".csv" is an audiogram; any other is text.
Result ImportFile(const QString &path, const EqualizerSettings &current,
                  double sampleRate = BiquadResponse::DefaultSampleRate);

// Configuration text. A channel whose filters all sit on Brenvox's own
// bands with the current bandwidth (an exported file) is taken band for
// band; any other curve is sampled at the band frequencies.
Result FromText(const QString &name, const QString &text, const EqualizerSettings &current,
                double sampleRate = BiquadResponse::DefaultSampleRate);

// "frequency, left dB HL, right dB HL" rows; a first row of titles is
// skipped. Each ear gets half its hearing level as a boost (nothing for
// levels at or below 0 dB HL), interpolated over log frequency, flat beyond
// the first and last rows, rounded within the range.
Result FromAudiogram(const QString &name, const QString &text, const EqualizerSettings &current);

// "Cannot import the profile <name>: <problem>."
QString Refusal(const QString &name, const QString &problem);

// ImportFile, then the settings into the model when it worked and the model
// took them.
bool Load(const QString &path, EqualizerModel &model, QString *message,
          double sampleRate = BiquadResponse::DefaultSampleRate);

} // namespace ProfileImport
