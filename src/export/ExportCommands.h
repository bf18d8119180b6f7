// The command texts of the export: the two channel renders, their merge
// into the chosen format, and the probe of what was written.
#pragma once

#include <QString>

namespace ExportCommands {

// {AppFolder}/ffmpeg -y -i {sourceWav} -af "volume={level}",{chain} {outWav}
QString RenderChannel(const QString &appFolder, const QString &sourceWav, qint16 level,
                      const QString &chain, const QString &outWav);

// The merge has "-y" once; the output's extension alone picks the format.
QString Join(const QString &appFolder, const QString &leftOutWav, const QString &rightOutWav,
             const QString &outputFile);

// One run from the source to the output: the split's channels, each with
// its level and chain, merged as Join merges them. A batch of files runs one
// of these per file, so every core renders a file of its own.
QString RenderWhole(const QString &appFolder, const QString &sourceFile, qint16 leftLevel,
                    const QString &leftChain, qint16 rightLevel, const QString &rightChain,
                    const QString &outputFile);
// The channel count of the first audio stream and the duration, one
// "key=value" a line, for the check of the file the export wrote.
QString ProbeAudio(const QString &appFolder, const QString &file);

} // namespace ExportCommands
