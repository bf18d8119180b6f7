// Command texts of the channel renders, the merge and the player that the
// preview and the export run.
#pragma once

#include <QString>

namespace ChannelCommands {

// ffmpeg's volume filter takes the level as a factor, so a negative level
// would invert the phase and grow louder as it goes down; those levels are
// written as silence.
QString VolumeText(qint16 level);

// The preview's player shows no window of its own (Form4 shows the preview
// and its Stop) and ends with the sound:
// {AppFolder}/ffplay -nodisp -autoexit [-ss {start}] -i {sourceWav} -af {graph};
// the graph holds the chains (PreviewGraph).
QString PlayGraph(const QString &appFolder, const QString &sourceWav, const QString &graph,
                  double startSeconds);

// {AppFolder}/ffmpeg -y -i {sourceWav} -af "volume={level}",{chain} {outWav}
QString RenderChannel(const QString &appFolder, const QString &sourceWav, qint16 level,
                      const QString &chain, const QString &outWav);

// The merge's filter graph and mapping, with a blank on each side.
QString MergeGraph();

// The export's commands, now in ExportCommands.
QString JoinForExport(const QString &appFolder, const QString &leftOutWav,
                      const QString &rightOutWav, const QString &outputFile);
QString ProbeAudio(const QString &appFolder, const QString &file);

} // namespace ChannelCommands
