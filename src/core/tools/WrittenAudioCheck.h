// Reads ffprobe's channel count and duration and judges whether the written
// file holds the whole export, and whether the merged audio is sound.
#pragma once

#include <QString>

namespace WrittenAudioCheck {

struct ProbedAudio
{
    int channels = 0;             // of the first audio stream; 0 when none was listed
    double durationSeconds = -1;  // of the container; negative when unknown
};

// The "channels=" and "duration=" lines of
// `ffprobe -select_streams a:0 -show_entries stream=channels:format=duration
// -of default=noprint_wrappers=1`; other lines are ignored.
ProbedAudio ParseProbedAudio(const QString &output);

// How far the written file's duration may stray from the source's: an
// encoder pads or trims a few frames, a cut-short file misses seconds.
constexpr double DurationToleranceSeconds = 0.2;

// Empty when the written file has two channels and the source's duration;
// otherwise one sentence saying what is wrong with it.
QString WrittenFileProblem(const ProbedAudio &written, const ProbedAudio &source);

// Empty when the merged stream the export wrote holds only finite samples;
// otherwise one sentence saying it is not sound. From the merge's output,
// where astats counted them: an element whose coefficients are not finite
// turns a whole channel into NaN, which the file holds as constant full
// scale.
QString MergedSoundProblem(const QString &mergeOutput);

// What the export says of the file it saved, from the merged stream's peak
// in dBFS (NaN: not measured, minus infinity: silence): "Saved, peak -0.3
// dBFS", or "Saved, but it clipped: peak +2.1 dBFS" above full scale.
QString SavedPeakText(double peakDb);

} // namespace WrittenAudioCheck
