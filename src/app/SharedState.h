// The process-wide values through which the windows hand data to each other.
#pragma once

#include "equalizer/EqualizerState.h"

#include <QString>

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

    // Levels 1, bandwidth 1, every gain text "0". Touches nothing else and
    // rebuilds no chain.
    void ResetEqualizerState();
};

SharedState &Shared();

// Back to the values before start-up: empty texts, zero numbers. For tests
// that run start-up more than once in one process.
void ClearSharedState();
