// The band sliders as configuration text that other tools read: one
// peaking filter per band that is not flat.
#pragma once

#include "dsp/BiquadResponse.h"
#include "dsp/EqualizerSettings.h"

#include <QString>

namespace ProfileExport {

// "Preamp" written for a level of 0, which silences the channel.
constexpr double SilentPreampDb = -200;

// A "Channel: L" and a "Channel: R" section, each with its "Preamp" (the
// level's volume in dB) and one "Filter: ON PK Fc ... Hz Gain ... dB Q ..."
// line per band with a gain, its Q the one ffmpeg's octave width gives at
// the sample rate. With the low cut on, a "HP" filter at 25 Hz
// stands for the bands it replaces.
QString Text(const EqualizerSettings &settings, double sampleRate = BiquadResponse::DefaultSampleRate);

// Written whole or not at all; on failure *message names the file.
bool Save(const QString &path, const EqualizerSettings &settings, QString *message,
          double sampleRate = BiquadResponse::DefaultSampleRate);

} // namespace ProfileExport
