// Every equalizer setting as plain numbers: the value that presets save and
// the windows show. Plain C++ so it can be built and tested without Qt.
#pragma once

#include <array>
#include <string>

struct ChannelSettings
{
    static constexpr int BandCount = 65;

    // Whole dB, positive boosts. A band slider shows the negated gain,
    // because its minimum sits at the top.
    std::array<int, BandCount> gains{};
    // A band never moved writes its gain as "0", one moved back to the
    // centre as "-0"; both are silent but the chain texts differ.
    std::array<bool, BandCount> moved{};
    // Level slider position -10..10; -4 is volume 1.
    int levelPosition = -4;
    // The channel's own gain at the head of its chain, in tenths of a dB
    // (whole tenths compare exactly): a profile's preamp, or the balance.
    int preampTenths = 0;

    double PreampDb() const { return preampTenths / 10.0; }

    friend bool operator==(const ChannelSettings &a, const ChannelSettings &b)
    {
        return a.gains == b.gains && a.moved == b.moved && a.levelPosition == b.levelPosition
            && a.preampTenths == b.preampTenths;
    }
    friend bool operator!=(const ChannelSettings &a, const ChannelSettings &b) { return !(a == b); }
};

struct EqualizerSettings
{
    enum Channel { Left = 0, Right = 1 };
    static constexpr int ChannelCount = 2;
    static constexpr int BandCount = ChannelSettings::BandCount;
    static constexpr int LevelPositionMinimum = -10;
    static constexpr int LevelPositionMaximum = 10;
    static constexpr int BandwidthMinimum = 1;
    static constexpr int BandwidthMaximum = 300;
    static constexpr int WideRange = 12;
    static constexpr int NarrowRange = 6;
    static constexpr int PreampTenthsMinimum = -300;
    static constexpr int PreampTenthsMaximum = 120;

    std::array<ChannelSettings, ChannelCount> channels{};
    int range = WideRange;   // the band sliders reach -range..range
    bool lowCut = false;
    int bandwidth = BandwidthMinimum;
    bool sync = false;       // left moves copy the left bands to the right
    // "Avoid clipping": a channel whose curve would take the open source
    // above 0 dBFS gets a volume cut at its chain's head.
    bool avoidClipping = false;
    // "As drawn": the chains carry gains solved so that each channel's
    // actual response passes through its slider positions.
    bool asDrawn = false;

    static bool IsChannel(int channel) { return channel == Left || channel == Right; }
    static bool IsBand(int band) { return band >= 0 && band < BandCount; }

    // The text after "g=" in the band's chain element: "0" never moved,
    // "5" a boost, "-5" a cut, "-0" moved back to the centre. Empty for a
    // channel or band that does not exist.
    std::string GainText(int channel, int band) const;

    // The first thing that stops these values from being shown on the
    // window's controls (a gain beyond the range, a level off its slider, a
    // preamp beyond -30..12 dB, a moved flag missing on a non-zero gain);
    // empty when there is none.
    std::string Problem() const;

    friend bool operator==(const EqualizerSettings &a, const EqualizerSettings &b)
    {
        return a.channels == b.channels && a.range == b.range && a.lowCut == b.lowCut
            && a.bandwidth == b.bandwidth && a.sync == b.sync && a.avoidClipping == b.avoidClipping
            && a.asDrawn == b.asDrawn;
    }
    friend bool operator!=(const EqualizerSettings &a, const EqualizerSettings &b) { return !(a == b); }
};
