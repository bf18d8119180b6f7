#include "session/SharedState.h"

void SharedState::ResetEqualizerState()
{
    LeftVolume = 1;
    RightVolume = 1;
    Bandwidth = 1;
    LeftBandGain.fill(QStringLiteral("0"));
    RightBandGain.fill(QStringLiteral("0"));
}

namespace {

bool &LoadingPauseSkippedFlag()
{
    static bool skipped = false;
    return skipped;
}

} // namespace

void SkipLoadingPause(bool skip)
{
    LoadingPauseSkippedFlag() = skip;
}

bool LoadingPauseSkipped()
{
    return LoadingPauseSkippedFlag();
}

SharedState &Shared()
{
    static SharedState state;
    return state;
}

EqualizerModel &Equalizer()
{
    return *Shared().Model;
}

void ClearSharedState()
{
    Shared() = SharedState();
}
