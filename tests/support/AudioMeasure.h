// Makes test audio with ffmpeg's lavfi sources and measures what Brenvox
// wrote, with the real ffmpeg and ffprobe.
#pragma once

#include <QString>
#include <QStringList>

namespace AudioMeasure {

struct ToolResult
{
    int exitCode = -1;
    QString output; // standard output and error together
};

// Runs a tool from the build's bin folder and waits for it.
ToolResult RunTool(const QString &tool, const QStringList &arguments);

// ffmpeg -y -f lavfi -i <graph> <outputOptions...> <path>
bool Generate(const QString &lavfiGraph, const QString &path,
              const QStringList &outputOptions = QStringList());

// A stereo file with one sine per channel.
bool GenerateStereoTones(double leftHz, double rightHz, double seconds, const QString &path);

int Channels(const QString &path);
double DurationSeconds(const QString &path);
QString CodecName(const QString &path);

// Mean level in dB of one channel, after an optional filter (for example a
// band-pass to look at one frequency). NaN when it cannot be measured.
double MeanVolumeDb(const QString &path, int channel, const QString &filter = QString());

// Frequency of the strongest of the candidate tones in one channel.
double DominantOf(const QString &path, int channel, const QList<double> &candidateHz);

} // namespace AudioMeasure
