// What a level slider's position means: its readout, the channel's volume
// factor and the text the chain box shows until the next rebuild.
#pragma once

#include <QString>

struct OutputLevel
{
    QString readout;     // "+1", "-1.5", "-0"
    qint16 level = 0;    // volume factor written into "volume="
    QString displayText; // "1", "-1.5", "-0"
};

// Four positions make one step of volume; negative positions lie above the
// centre and raise the level. Halves round to the even neighbour.
OutputLevel OutputLevelFromPosition(qint16 position);
