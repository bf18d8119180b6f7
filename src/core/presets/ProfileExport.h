// What Brenvox plays as configuration text that other tools read: per
// channel a preamp and one peaking filter per band that is not flat.
#pragma once

#include "dsp/BiquadResponse.h"
#include "dsp/ChannelResponse.h"
#include "dsp/EqualizerSettings.h"

#include <QString>

#include <array>

namespace ProfileExport {

// "Preamp" written for a level of 0, which silences the channel.
constexpr double SilentPreampDb = -200;

// Both channels' chains, left first.
using Chains = std::array<ChannelResponse::Chain, EqualizerSettings::ChannelCount>;

// A "Channel: L" and a "Channel: R" section, each with its "Preamp" (the
// level, the preamp and the "Avoid clipping" cut together), the low cut as
// "Filter: ON HP Fc 25 Hz Q 0.707" and one "Filter: ON PK Fc ... Hz Gain
// ... dB Q ..." line per band in the chain that is not flat, at the gain it
// plays (solved in "As drawn") and the Q its octave width gives at the
// chains' rate. A comment line holds the settings themselves, so that
// Brenvox reads its own file back as the same settings at any rate.
QString Text(const EqualizerSettings &settings, const Chains &played);
QString Text(const EqualizerSettings &settings, double sampleRate = BiquadResponse::DefaultSampleRate);

// The settings a file that Text wrote holds, when not a character of it
// has changed since; false for any other text.
bool WrittenSettings(const QString &text, EqualizerSettings *settings);

// Written whole or not at all; on failure *message names the file.
bool Save(const QString &path, const QString &text, QString *message);

} // namespace ProfileExport
