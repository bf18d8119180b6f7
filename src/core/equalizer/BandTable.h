// The fixed table of the 65 equalizer bands that both channels share.
#pragma once

#include <QString>

namespace BandTable {

constexpr int BandCount = 65;
constexpr int FirstBand = 0;
constexpr int LastBand = 64;

// Bands replaced by LowCutElement while the low cut is on.
constexpr int LowCutBands[] = {0, 1, 2};
constexpr int FirstBandAfterLowCut = 3;

bool IsBand(int band);

// Centre frequency exactly as written after "f=" in the band's element.
QString FrequencyText(int band);

// Centre frequency in hertz.
double FrequencyHz(int band);

// Whether the band can act on a signal at this sample rate: a peaking
// equalizer at or above half the rate has nothing to act on, and at exactly
// half the rate ffmpeg's filter turns every sample into NaN. An unknown rate
// (0) counts every band.
bool ActsAtSampleRate(int band, int sampleRate);

// Whether the band acts at this rate and stays a filter at this bandwidth in
// octaves: ffmpeg's sinh in the band's alpha overflows near half the rate
// from some bandwidth on, and an element with coefficients that are not
// finite turns the whole channel into NaN. Judged at the largest boost and
// cut any chain holds, so no gain takes an element across. Every band that
// acts at a bandwidth acts at the narrower ones, and every band below it
// acts too. An unknown rate (0) counts every band.
bool BandActs(int band, int sampleRate, double bandwidth);

// The highest band that acts, -1 when none does: the bands up to it are the
// ones that act, found with a few designs instead of one for each band.
int LastActingBand(int sampleRate, double bandwidth);

// Caption under the band's sliders; several keep a trailing blank.
QString Caption(int band);

// "equalizer=f=<frequency>:width_type=o:width=": the chain appends the
// bandwidth, ":g=" and the gain.
QString ElementPrefix(int band);

// One element that stands in for the low-cut bands. A gainless peaking
// equalizer would pass the signal unchanged, so this is a real high-pass.
QString LowCutElement();

} // namespace BandTable
