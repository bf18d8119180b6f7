// The commands of the export: the two channel renders, their merge into the
// chosen format, and the probe of what was written. Every file goes in as
// CommandText::ToolFile gives it.
#pragma once

#include "core/tools/CommandText.h"
#include "core/tools/KeptStreams.h"

namespace ExportCommands {

// {AppFolder}/ffmpeg -y -max_size 65536 -i {sourceWav} -af volume={level},{chain} -c:a pcm_f32le {outWav}
ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, const QString &outWav);
// The same into the render's descriptor `pipe`, which the merge reads.
ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, int pipe);

// The same from the source itself, its channel 0 (left) or 1 (right) taken
// as the split takes it: no channel file is needed, and the sound is the one
// rendered from the channel file.
ToolCommand RenderSourceChannel(const QString &appFolder, const QString &sourceFile, int channel, double level,
                                const QString &chain, int pipe, int sourceChannels = 2);

// The merge has "-y" once; the output's extension picks the format. A WAV
// or FLAC file keeps a source's depth above 16 bits (WAV up to 32, FLAC up
// to its practical 24) and is 16-bit otherwise, also when the depth is
// unknown (0); a WAV file over 4 GiB gets the RF64 header. The run's log
// ends with the merged stream's peak level in float, before the encoder:
// above 0 dBFS the file clipped (ToolOutputFacts::PeakLevelDb); and its
// count of samples that are not finite (ToolOutputFacts::NonFiniteSamples).
ToolCommand Join(const QString &appFolder, const QString &leftOutWav, const QString &rightOutWav,
                 const QString &outputFile, int sourceBitsPerSample);
// The same from the renders' pipes, as its descriptors leftPipe and rightPipe;
// with a source file, the source as a third input, from which the output
// keeps what `kept` names, with the source's tags and chapters.
ToolCommand Join(const QString &appFolder, int leftPipe, int rightPipe, const QString &outputFile,
                 int sourceBitsPerSample, const QString &sourceFile = QString(),
                 const KeptStreams::Plan &kept = {});

// One run from the source to the output: the split's channels, each with
// its level and chain, merged as Join merges them. A batch of files runs one
// of these per file, so every core renders a file of its own. The output
// keeps what `kept` names of the source, with its tags and chapters.
ToolCommand RenderWhole(const QString &appFolder, const QString &sourceFile, double leftLevel,
                        const QString &leftChain, double rightLevel, const QString &rightChain,
                        const QString &outputFile, int sourceBitsPerSample, const KeptStreams::Plan &kept = {},
                        int sourceChannels = 2);
// The channel count of the first audio stream and the duration, one
// "key=value" a line, for the check of the file the export wrote.
ToolCommand ProbeAudio(const QString &appFolder, const QString &file);

// Whether the format the output's extension picks is a bare stream of
// frames whose length ffprobe only estimates from the bitrate (an ADTS
// .aac file of 10.00 s reads as 10.18 s); its length is then taken by
// DecodeAudio.
bool LengthOnlyByDecoding(const QString &outputFile);
// Decodes the first audio stream to nothing; the run's last "time=" is how
// much sound the file holds (ExportProgress::LastStatusTime).
ToolCommand DecodeAudio(const QString &appFolder, const QString &file);

} // namespace ExportCommands
