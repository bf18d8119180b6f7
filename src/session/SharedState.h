// The process-wide values through which the windows hand data to each other.
#pragma once

#include "core/system/AppFolder.h"

#include "core/equalizer/EqualizerModel.h"
#include "core/equalizer/EqualizerState.h"

#include <QString>

#include <memory>

struct SharedState : EqualizerState
{
    QString SourceFile;
    QString SourceDuration;
    QString LeftSourceWav;
    QString RightSourceWav;
    QString LeftOutWav;
    QString RightOutWav;
    QString OutputFile;
    qint16 PreviewChannel = 0;
    qint16 LeftVolume = 0;
    qint16 RightVolume = 0;
    // The settings themselves. The gain texts, volumes, bandwidth and low cut
    // above are derived from it by the main window as it follows it; the
    // chains too, at the moments the main window rebuilds them.
    std::unique_ptr<EqualizerModel> Model = std::make_unique<EqualizerModel>();

    // Levels 1, bandwidth 1, every gain text "0". Touches nothing else and
    // rebuilds no chain.
    void ResetEqualizerState();
};

SharedState &Shared();

// Tests and benchmarks that do not time start-up leave out the pause while
// "Loading..." shows. Never read from the command line or the environment.
void SkipLoadingPause(bool skip);
bool LoadingPauseSkipped();

// The settings the program holds: Shared().Model.
EqualizerModel &Equalizer();

// Back to the values before start-up: empty texts, zero numbers. For tests
// that run start-up more than once in one process.
void ClearSharedState();

// What the two channel renders of an export or a preview request take from
// the windows' state: the channel files, the levels, the chains and the
// encoder's folder.
template <typename RenderRequest>
void TakeChannelRenders(RenderRequest &request)
{
    const SharedState &shared = Shared();
    request.paths.LeftSourceWav = shared.LeftSourceWav;
    request.paths.RightSourceWav = shared.RightSourceWav;
    request.paths.LeftOutWav = shared.LeftOutWav;
    request.paths.RightOutWav = shared.RightOutWav;
    request.leftVolume = shared.LeftVolume;
    request.rightVolume = shared.RightVolume;
    request.leftChain = shared.LeftFilterChain;
    request.rightChain = shared.RightFilterChain;
    request.encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
}
