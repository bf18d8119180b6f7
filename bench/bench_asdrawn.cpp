// "As drawn" over lone sliders, settings that step by at most 6 dB and
// jagged ones: the median and worst time of one channel's solve, the
// largest distance from the sliders per group, and how far the curve
// between two neighbouring sliders goes beyond both.
#include "dsp/AsDrawn.h"
#include "core/equalizer/ChannelChain.h"

#include "BenchFigures.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using ChannelResponse::Chain;

struct Group
{
    explicit Group(const char *what) : name(what) {}
    std::string name;
    std::vector<Chain> settings;
    double worstDb = 0, worstBetweenDb = 0;
    std::string worstAt;
};

Chain Flat(int sampleRate, bool lowCut)
{
    EqualizerSettings settings;
    settings.lowCut = lowCut;
    return ChannelChain::FromSettings(settings, 0, sampleRate);
}

// Whether both neighbours in the band table lie at least 1/8 octave away.
bool StandsApart(const Chain &chain, int band)
{
    const double f = chain.bandFrequencies[size_t(band)];
    const bool below = band == 0 || std::log2(f / chain.bandFrequencies[size_t(band - 1)]) >= 0.125;
    const bool above = band + 1 == ChannelResponse::BandCount
        || std::log2(chain.bandFrequencies[size_t(band + 1)] / f) >= 0.125;
    return below && above;
}

// How much further than the step between two neighbouring sliders the
// curve goes beyond both, on a fine grid between each pair in the chain.
double BeyondBetween(const Chain &solved, const Chain &sliders)
{
    std::vector<int> bands;
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        if (solved.inChain[size_t(band)])
            bands.push_back(band);
    std::vector<double> frequencies;
    for (size_t i = 0; i + 1 < bands.size(); ++i)
        for (int step = 1; step < 8; ++step)
            frequencies.push_back(solved.bandFrequencies[size_t(bands[i])]
                                  * std::pow(solved.bandFrequencies[size_t(bands[i + 1])]
                                                 / solved.bandFrequencies[size_t(bands[i])],
                                             step / 8.0));
    const std::vector<double> db = ChannelResponse::FiltersDb(solved, frequencies);
    double worst = 0;
    for (size_t i = 0; i < frequencies.size(); ++i) {
        const double a = sliders.gainsDb[size_t(bands[i / 7])], b = sliders.gainsDb[size_t(bands[i / 7 + 1])];
        const double beyond = std::max({db[i] - std::max(a, b), std::min(a, b) - db[i]}) - std::abs(a - b);
        worst = std::max(worst, beyond);
    }
    return worst;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    std::mt19937 random(20170201);
    const auto uniform = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };

    Group apart("a lone slider, neighbours 1/8 octave away or more");
    Group close("a lone slider beside a close neighbour (told)");
    Group steps("steps of at most 6 dB from slider to slider");
    Group jagged("jagged: any slider anywhere (told)");
    for (const int sampleRate : {48000, 44100}) {
        const Chain flat = Flat(sampleRate, false);
        for (int band = 0; band < ChannelResponse::BandCount; ++band)
            for (const double gain : {12.0, -12.0, 6.0, -6.0}) {
                Chain one = flat;
                one.gainsDb[size_t(band)] = gain;
                (StandsApart(flat, band) ? apart : close).settings.push_back(one);
            }
    }
    const int walks = quick ? 10 : 400;
    for (int walk = 0; walk < walks; ++walk) {
        const bool lowCut = walk % 3 == 0;
        Chain chain = Flat(walk % 2 ? 44100 : 48000, lowCut);
        Chain wild = chain;
        const int range = walk % 4 == 1 ? 6 : 12;
        double gain = uniform(-range, range);
        for (int band = 0; band < ChannelResponse::BandCount; ++band) {
            gain = std::clamp(gain + uniform(-6, 6), double(-range), double(range));
            chain.gainsDb[size_t(band)] = gain;
            wild.gainsDb[size_t(band)] = uniform(-range, range);
        }
        steps.settings.push_back(chain);
        jagged.settings.push_back(wild);
    }

    std::vector<double> times;
    for (Group *group : {&apart, &close, &steps, &jagged}) {
        for (const Chain &sliders : group->settings) {
            const auto start = std::chrono::steady_clock::now();
            const AsDrawn::Solution solution = AsDrawn::Solve(sliders);
            const auto took = std::chrono::steady_clock::now() - start;
            times.push_back(std::chrono::duration<double, std::milli>(took).count());
            Chain solved = sliders;
            solved.gainsDb = solution.gainsDb;
            solved.widthsOctaves = solution.widthsOctaves;
            if (solution.largestDeviationDb > group->worstDb) {
                group->worstDb = solution.largestDeviationDb;
                group->worstAt = std::to_string(int(sliders.bandFrequencies[size_t(solution.worstBand)])) + " Hz";
            }
            group->worstBetweenDb = std::max(group->worstBetweenDb, BeyondBetween(solved, sliders));
        }
        std::printf("%-52s %4zu settings: worst %5.2f dB (at %s), between sliders beyond the step %5.2f dB\n",
                    group->name.c_str(), group->settings.size(), group->worstDb, group->worstAt.c_str(),
                    group->worstBetweenDb);
    }
    const double worst = *std::max_element(times.begin(), times.end());
    std::printf("one channel's solve: median %.3f ms, worst %.3f ms over %zu solves (goal < 20 ms)%s\n",
                Median(times), worst, times.size(), worst < 20 ? "" : "  OVER");
    return 0;
}
