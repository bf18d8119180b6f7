// Medians of the curve after a band moves, of one "as drawn" solve, and of
// the main window's plans and chains after a synced move.
#include "core/equalizer/ChainText.h"
#include "dsp/AsDrawn.h"
#include "core/equalizer/ChannelChain.h"
#include "core/equalizer/ChannelPlan.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

double MedianMilliseconds(int rounds, const std::function<void(int)> &work)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        work(round);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const char *name, double median, double limit, int rounds)
{
    std::printf("%-40s median %8.3f ms over %5d runs (goal < %g ms, %.3f of it)%s\n", name, median, rounds,
                limit, median / limit, median < limit ? "" : "  OVER");
}

// Broad bumps over log frequency, every band moved: the shape a drag bends.
EqualizerSettings Bumps()
{
    EqualizerSettings settings;
    ChannelSettings &left = settings.channels[EqualizerSettings::Left];
    const ChannelResponse::Chain chain = ChannelChain::FromSettings(settings, 0, 48000);
    for (int band = 0; band < EqualizerSettings::BandCount; ++band) {
        left.gains[band] = int(std::lround(8 * std::sin(1.1 * std::log2(chain.bandFrequencies[band]))));
        left.moved[band] = true;
    }
    return settings;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    EqualizerSettings settings = Bumps();
    const int band = 29;
    const int original = settings.channels[0].gains[band];
    ChannelResponse::Curve drawn;

    const int curveRounds = quick ? 20 : 3000;
    const double curve = MedianMilliseconds(curveRounds, [&](int round) {
        settings.channels[0].gains[band] = original + (round % 2 ? 1 : -1);
        drawn = ChannelResponse::Evaluate(ChannelChain::FromSettings(settings, 0, 44100));
    });

    const int solveRounds = quick ? 3 : 300;
    double largestDeviation = 0;
    const double solve = MedianMilliseconds(solveRounds, [&](int round) {
        settings.channels[0].gains[band] = original + (round % 2 ? 1 : -1);
        const AsDrawn::Solution solution = AsDrawn::Solve(ChannelChain::FromSettings(settings, 0, 44100));
        largestDeviation = std::max(largestDeviation, solution.largestDeviationDb);
    });

    // What the window works out when a left move with sync on changes both
    // channels, both options on: two solves, two curves, two chain texts.
    settings.sync = settings.asDrawn = settings.avoidClipping = true;
    settings.channels[EqualizerSettings::Right] = settings.channels[EqualizerSettings::Left];
    ChannelPlanner planner;
    QString chain;
    const double window = MedianMilliseconds(solveRounds, [&](int round) {
        for (ChannelSettings &channel : settings.channels)
            channel.gains[band] = original + (round % 2 ? 1 : -1);
        for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
            planner.Update(settings, channel, 44100, -1);
            chain = ChainText::Render(planner.Plan(channel).chain, true);
        }
    });

    Report("curve of one channel after a band moves", curve, 5, curveRounds);
    Report("\"as drawn\" solve of one channel", solve, 20, solveRounds);
    Report("window's plans after a synced move", window, 20, solveRounds);
    std::printf("last curve: %s; solved curves off the sliders by up to %.2f dB\n",
                ChannelResponse::PeakText(drawn.peakDb).c_str(), largestDeviation);
    return 0;
}
