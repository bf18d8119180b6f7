// The ffmpeg filter text of one channel's chain.
#pragma once

#include "dsp/ChannelResponse.h"

#include <QString>

namespace ChainText {

// everyElement gives the chain box's text: every band the chain was made
// for, a band moved back to the centre (-0.0) as "-0", "as drawn" gains to
// one decimal. Without it, the chain as the tools run it: the same sound
// without the band elements at 0 dB, each of which would cost ffmpeg as
// much as a band that acts; "anull" when nothing is left. A preamp heads
// either as "volume=+2.5dB", then a negative pre-gain ("Avoid clipping").
QString Render(const ChannelResponse::Chain &chain, bool everyElement);

} // namespace ChainText
