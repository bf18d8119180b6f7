// Per-channel gain texts, bandwidth and low cut, and the ffmpeg filter chains
// built from them.
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
    QString LeftFilterChain;
    QString RightFilterChain;

    // The chain the current state gives for these gains; Bandwidth,
    // LowCutEnabled and SourceSampleRate are read now. A chain left with no
    // element at all passes the sound unchanged ("anull"). A preamp heads
    // it as "volume=+2.5dB", then a negative pre-gain ("Avoid clipping") as
    // "volume=-7.3dB", one decimal each.
    QString BuildChain(const BandGains &gains, double preGainDb = 0, double preampDb = 0) const;

    // The chain as the tools run it: the same sound without the band
    // elements at exactly 0 dB ("0", "-0"), each of which would cost ffmpeg
    // as much as a band that acts; "anull" when nothing is left. The chain
    // boxes and the chains above keep every element.
    static QString ToolChain(const QString &chain);

    static QString BandElement(int band, int bandwidth, const QString &gain);
};
