// The same equalizer for every program on the desktop: a PipeWire
// filter-chain configuration holding the chains Brenvox plays.
#pragma once

#include "core/presets/ProfileExport.h"

#include <QString>

namespace PipeWireExport {

// PipeWire's default graph rate, which the Q values are written for.
constexpr double SampleRate = 48000;

// A "context.modules" entry loading libpipewire-module-filter-chain as a
// stereo sink, "Brenvox equalizer", with the left and right chains kept
// apart: per channel a builtin "mixer" as the level and preamp, a
// "bq_highpass" for the low cut and one "bq_peaking" per band in the chain
// that is not flat, at the gain it plays and the Q of its octave width.
// Saved into ~/.config/pipewire/pipewire.conf.d/, it loads with PipeWire.
QString Text(const ProfileExport::Chains &chains);
QString Text(const EqualizerSettings &settings);

} // namespace PipeWireExport
