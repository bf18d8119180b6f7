// Commands of the channel renders, the merge and the player that the
// preview and the export run. Every file goes in as CommandText::ToolFile
// gives it, the graph's too.
#pragma once

#include "core/tools/CommandText.h"

namespace ChannelCommands {

// A channel file that a render or the export's merge reads, with its input
// option: "-max_size 65536 -i {wav}". The WAV reader's 4096-byte packets
// hold half as many float samples as 16-bit ones, and each frame costs
// every filter a call: with larger ones the float files cost less time than
// the 16-bit ones did.
QStringList ChannelFileInput(const QString &wav);

// ffmpeg's volume filter takes the level as a factor, so a negative level
// would invert the phase and grow louder as it goes down; those levels are
// written as silence.
QString VolumeText(double level);

// The preview's player shows no window of its own (PreviewWindow shows the preview
// and its Stop) and ends with the sound:
// {AppFolder}/ffplay -nodisp -autoexit -f lavfi -i {reader} -af {graph};
// the reader (PreviewGraph::ChannelReader) reads sourceWav from the start,
// the graph holds the chains (PreviewGraph).
ToolCommand PlayGraph(const QString &appFolder, const QString &sourceWav, const QString &graph,
                      double startSeconds);

// {AppFolder}/ffmpeg -y -max_size 65536 -i {sourceWav} -af volume={level},{chain} -c:a pcm_f32le {outWav}
ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, const QString &outWav);
// The same into the render's descriptor `pipe` ("-f nut pipe:3"), in
// ffmpeg's own container: a WAV header holds sizes that a pipe cannot go
// back to write.
ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, int pipe);
// What reads such a pipe: "-f nut -i pipe:3".
QStringList PipeInput(int pipe);
// What writes it: "-f nut pipe:3".
QStringList PipeOutput(int pipe);

} // namespace ChannelCommands
