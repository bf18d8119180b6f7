// The commands of the source's duration probe and of its channel split.
// Every file goes in as CommandText::ToolFile gives it.
#pragma once

#include "core/tools/CommandText.h"

namespace ImportCommands {

// <appFolder>/ffprobe -hide_banner -stats -i <source>, then the options
// for the JSON report that ToolOutputFacts::ReadProbeReport reads.
ToolCommand ProbeCommand(const QString &appFolder, const QString &sourceFile);

// One ffmpeg run from the source's first audio stream, wherever it stands,
// to two mono 32-bit float WAV files: its first channel to the left file
// and its second to the right file, or its only channel to both. Existing
// files are replaced. The run's log ends with the peak level of each file
// (ToolOutputFacts::PeakLevelDb).
// A stream of more than `sourceChannels` 2 is first downmixed to stereo.
ToolCommand SplitCommand(const QString &appFolder, const QString &sourceFile,
                         const QString &leftWav, const QString &rightWav, int sourceChannels = 2);
// The split's graph with each channel's branch ending in the given text
// (e.g. "[left]", or more filters and a label), so whatever reads the
// source's channels takes them as the split does.
QString ChannelGraph(const QString &leftEnd, const QString &rightEnd, int sourceChannels = 2);
// One of those branches alone: channel 0 (left) or 1 (right), then `end`.
QString ChannelBranch(int channel, const QString &end, int sourceChannels = 2);

} // namespace ImportCommands
