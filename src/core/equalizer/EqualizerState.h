// Per-channel gain texts, bandwidth and low cut, and what is known of the
// open source.
#pragma once

#include "core/equalizer/BandTable.h"

#include <QString>

#include <array>
#include <limits>

using BandGains = std::array<QString, BandTable::BandCount>;

class EqualizerState
{
public:
    bool LowCutEnabled = false;
    int Bandwidth = 0;
    // Sample rate of the open source, 0 when none is open or it is unknown:
    // bands it leaves no room for, or that cannot act at this rate with the
    // bandwidth (BandTable::BandActs), are left out of the chains.
    int SourceSampleRate = 0;
    // Peak level of the open source in dBFS (its loudest channel), measured
    // by the import; NaN while none is known. The clip warning adds the
    // channel's curve to it.
    double SourcePeakDb = std::numeric_limits<double>::quiet_NaN();
    // Bits per sample of the open source's audio (16, 24, 32), 0 while
    // unknown: a WAV or FLAC export keeps more than 16 of them.
    int SourceBitsPerSample = 0;
    BandGains LeftBandGain;
    BandGains RightBandGain;
};
