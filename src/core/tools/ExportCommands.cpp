#include "core/tools/ExportCommands.h"

#include "core/tools/ImportCommands.h"
#include "core/tools/ChannelCommands.h"

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;
using CommandText::Tool;
using CommandText::ToolFile;

namespace {

// astats sees the merged float stream only when it is held in float: left
// to itself, ffmpeg converts to the encoder's integer format before it. In
// float it also counts samples that are no number, which the encoder would
// write as a constant at full scale.
const QLatin1String MeasuredMerge(
    "amerge=inputs=2,aformat=sample_fmts=flt,"
    "astats=measure_perchannel=none:measure_overall=Peak_level+Number_of_NaNs+Number_of_Infs[aout]");

// From float channel files, ffmpeg's WAV muxer writes 16 bits and its FLAC
// encoder 24, whatever the source had. A WAV file's RIFF header counts to
// 4 GiB: "-rf64 auto" switches to the RF64 header above that, and below it
// writes a plain WAV file with room for the switch in a JUNK chunk.
QStringList OutputOptions(const QString &outputFile, int sourceBitsPerSample)
{
    const bool deep = sourceBitsPerSample > 16;
    if (outputFile.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
        const QStringList large{u"-rf64"_s, u"auto"_s};
        if (!deep)
            return large;
        return QStringList{u"-c:a"_s, sourceBitsPerSample <= 24 ? u"pcm_s24le"_s : u"pcm_s32le"_s} + large;
    }
    if (outputFile.endsWith(QLatin1String(".flac"), Qt::CaseInsensitive))
        return {u"-sample_fmt"_s, deep ? u"s32"_s : u"s16"_s};
    return {};
}

// A channel's branch of a graph that reads the source: the formats a
// channel file gives its render and a render gives the merge, mono 32-bit
// float. Decoders give small frames, and each of 65 filters pays for every
// frame: the branch takes the 16384 samples a render reads from a channel
// file at once (the sound is the same, the last frame is not padded).
QString SourceBranch(double level, const QString &chain, const char *label)
{
    return QLatin1String(",aformat=sample_fmts=flt,asetnsamples=n=16384:p=0,volume=")
        + ChannelCommands::VolumeText(level) + QLatin1Char(',') + chain
        + QLatin1String(",aformat=sample_fmts=flt:channel_layouts=mono") + QLatin1String(label);
}

// `inputs`: each channel's input options and input, left first; then
// `kept`, the options that keep streams and tags of a third input.
ToolCommand JoinInputs(const QString &appFolder, const QStringList &inputs, const QString &outputFile,
                       int sourceBitsPerSample, const QStringList &kept = QStringList())
{
    ToolCommand command{Tool(appFolder, "ffmpeg"), QStringList{u"-y"_s} + inputs};
    command.arguments << u"-filter_complex"_s << QLatin1String("[0:a][1:a]") + MeasuredMerge << u"-map"_s
                      << u"[aout]"_s << kept << OutputOptions(outputFile, sourceBitsPerSample)
                      << ToolFile(outputFile);
    return command;
}

} // namespace

namespace ExportCommands {

ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, const QString &outWav)
{
    return ChannelCommands::RenderChannel(appFolder, sourceWav, level, chain, outWav);
}

ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, int pipe)
{
    return ChannelCommands::RenderChannel(appFolder, sourceWav, level, chain, pipe);
}

ToolCommand RenderSourceChannel(const QString &appFolder, const QString &sourceFile, int channel, double level,
                                const QString &chain, int pipe, int sourceChannels)
{
    return {Tool(appFolder, "ffmpeg"),
            QStringList{u"-y"_s, u"-i"_s, ToolFile(sourceFile), u"-filter_complex"_s,
                        ImportCommands::ChannelBranch(channel, SourceBranch(level, chain, "[c]"), sourceChannels), u"-map"_s,
                        u"[c]"_s, u"-c:a"_s, u"pcm_f32le"_s}
                + ChannelCommands::PipeOutput(pipe)};
}

ToolCommand Join(const QString &appFolder, const QString &leftOutWav, const QString &rightOutWav,
                 const QString &outputFile, int sourceBitsPerSample)
{
    return JoinInputs(appFolder,
                      ChannelCommands::ChannelFileInput(leftOutWav) + ChannelCommands::ChannelFileInput(rightOutWav),
                      outputFile, sourceBitsPerSample);
}

ToolCommand Join(const QString &appFolder, int leftPipe, int rightPipe, const QString &outputFile,
                 int sourceBitsPerSample, const QString &sourceFile, const KeptStreams::Plan &kept)
{
    QStringList inputs = ChannelCommands::PipeInput(leftPipe) + ChannelCommands::PipeInput(rightPipe);
    if (sourceFile.isEmpty())
        return JoinInputs(appFolder, inputs, outputFile, sourceBitsPerSample);
    inputs << u"-i"_s << ToolFile(sourceFile);
    return JoinInputs(appFolder, inputs, outputFile, sourceBitsPerSample, KeptStreams::CopyOptions(kept, 2));
}

ToolCommand RenderWhole(const QString &appFolder, const QString &sourceFile, double leftLevel,
                        const QString &leftChain, double rightLevel, const QString &rightChain,
                        const QString &outputFile, int sourceBitsPerSample, const KeptStreams::Plan &kept,
                        int sourceChannels)
{
    const QString graph = ImportCommands::ChannelGraph(SourceBranch(leftLevel, leftChain, "[l]"),
                                                       SourceBranch(rightLevel, rightChain, "[r]"), sourceChannels)
        + QLatin1String(";[l][r]") + MeasuredMerge;
    return {Tool(appFolder, "ffmpeg"),
            QStringList{u"-y"_s, u"-i"_s, ToolFile(sourceFile), u"-filter_complex"_s, graph, u"-map"_s, u"[aout]"_s}
                + KeptStreams::CopyOptions(kept, 0) + OutputOptions(outputFile, sourceBitsPerSample) + QStringList{ToolFile(outputFile)}};
}

ToolCommand ProbeAudio(const QString &appFolder, const QString &file)
{
    return {Tool(appFolder, "ffprobe"),
            {u"-v"_s, u"error"_s, u"-select_streams"_s, u"a:0"_s, u"-show_entries"_s,
             u"stream=channels:format=duration"_s, u"-of"_s, u"default=noprint_wrappers=1"_s, ToolFile(file)}};
}

bool LengthOnlyByDecoding(const QString &outputFile)
{
    // The extensions ffmpeg writes as raw AAC (ADTS), AC-3, E-AC-3 and
    // MPEG audio layer II streams. An MP3 file carries its frame count in
    // the header ffmpeg writes, and a container's length is exact.
    static const char *const bareStreams[] = {"aac", "adts", "ac3", "eac3", "mp2", "m2a", "mpa"};
    const QString extension = outputFile.section(QLatin1Char('.'), -1).toLower();
    return std::any_of(std::begin(bareStreams), std::end(bareStreams),
                       [&](const char *bare) { return extension == QLatin1String(bare); });
}

ToolCommand DecodeAudio(const QString &appFolder, const QString &file)
{
    // "-stats" keeps the status lines that "-v error" would silence.
    return {Tool(appFolder, "ffmpeg"),
            {u"-v"_s, u"error"_s, u"-stats"_s, u"-i"_s, ToolFile(file), u"-map"_s, u"0:a:0"_s, u"-f"_s, u"null"_s,
             u"-"_s}};
}

} // namespace ExportCommands
