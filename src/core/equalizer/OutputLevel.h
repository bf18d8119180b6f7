// What a level slider's position means: its readout, the channel's volume
// factor and the text the chain box shows until the next rebuild.
#pragma once

#include <QString>

struct OutputLevel
{
    QString readout;     // "+1", "-1.5", "-0"
    double level = 0;    // volume factor written into "volume="
    QString displayText; // "1", "-1.5", "-0"
};

// Four positions make one step of volume; negative positions lie above the
// centre and raise the level. The factor is the one the readout shows, so
// "+0.75" plays at 0.75; a readout at or below 0 is silence, as a negative
// factor would invert the phase and grow louder as it went down.
OutputLevel OutputLevelFromPosition(qint16 position);
