// What the lines of a finished ffprobe or ffmpeg run say about the source
// and about why the run failed.
#pragma once

#include "core/tools/KeptStreams.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ToolOutputFacts {

// The source's facts as ffprobe's machine-readable report gives them: its
// console lines above it show names and tags as they are, so a name or a
// title can look like a stream line or a duration there, never here.
struct ProbeReport
{
    bool hasAudio = false;
    int sampleRate = 0;    // of the first audio stream, the one the split takes; 0 unknown
    int bitsPerSample = 0; // as AudioBitsPerSample tells it; 0 unknown
    QString seconds;       // whole seconds of the source's duration; empty unknown
    int channels = 0;      // of that stream; 0 unknown
    QString channelLayout; // as ffprobe names it ("5.1(side)")
    // Every stream, so an export can keep what is beside the sound.
    QList<KeptStreams::SourceStream> streams;
};

// The JSON report (-of json) that ends ffprobe's merged output, from its
// last line that is a lone "{" (a report's inner lines are indented, its
// strings escaped); nothing when there is none or it does not parse.
std::optional<ProbeReport> ReadProbeReport(const QStringList &lines);
// The lines above that report: what the tool said to a person.
QStringList ConsoleLines(const QStringList &lines);

// The three below read the console lines, where a file name or a tag can
// look like a stream line: for a source, ReadProbeReport is what counts.

// Whether the tool listed an audio stream among its input's streams.
bool HasAudioStream(const QStringList &lines);

// Sample rate in hertz of the first audio stream the tool listed (the one
// the split takes), or 0 when it listed none.
int AudioSampleRate(const QStringList &lines);

// Bits per sample of that stream's audio, 0 when unknown: the "(24 bit)"
// the tool adds, else the sample format's size. A lossy decoder's float
// samples say nothing of the source's depth, so only a PCM codec's float
// format counts.
int AudioBitsPerSample(const QStringList &lines);

// The highest "Peak level dB" that ffmpeg's astats filters reported at the
// end of the run, in dBFS: minus infinity for silence, NaN when none
// reported one.
double PeakLevelDb(const QStringList &lines);
double PeakLevelDb(const QString &output);

// How many samples ffmpeg's astats filters counted as NaN or infinite
// ("Number of NaNs", "Number of Infs"), all of them together; 0 when none
// reported a count.
double NonFiniteSamples(const QString &output);

// The tool's last word on why it failed, in the user's characters: the last
// line that is no status line and no measurement of astats, without the
// "[demuxer @ 0x...]" context and without the input's path in front. Paths
// are told without the "file:" they were handed over with. Empty when there
// is none.
QString LastErrorLine(const QStringList &lines, const QString &inputPath);

// The same for a whole run's output as the runner collected it; a line ends
// at a carriage return or a line feed.
QString LastErrorLine(const QString &output, const QString &inputPath = QString());

// The first line that says the run failed although the tool may still exit
// with status 0 (ffmpeg after a failed trailer or close, ffplay without an
// audio device or with a bad filter), without its "[... @ 0x...]" context
// and the "file:" of its paths. Empty when there is none. It is the reason
// before any later line, whatever the exit status.
QString KnownFailureLine(const QStringList &lines);
QString KnownFailureLine(const QString &output);

// The position, in seconds, at the head of ffplay's status line
// ("   4.90 M-A:  0.000 fd=   0 aq=..."); false for any other line and
// while the player has no clock yet ("nan").
bool PlayerClockSeconds(const QString &line, double *seconds);

} // namespace ToolOutputFacts
