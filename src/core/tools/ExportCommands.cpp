#include "core/tools/ExportCommands.h"

#include "core/tools/ImportCommands.h"
#include "core/tools/ChannelCommands.h"
#include "core/tools/CommandText.h"

#include <algorithm>
#include <iterator>

using CommandText::QuoteTool;
using CommandText::QuoteToolFile;

namespace {

// astats sees the merged float stream only when it is held in float: left
// to itself, ffmpeg converts to the encoder's integer format before it. In
// float it also counts samples that are no number, which the encoder would
// write as a constant at full scale.
const QLatin1String MeasuredMerge(
    "amerge=inputs=2,aformat=sample_fmts=flt,"
    "astats=measure_perchannel=none:measure_overall=Peak_level+Number_of_NaNs+Number_of_Infs[aout]");
const QLatin1String MapMerged("\" -map \"[aout]\" ");

// From float channel files, ffmpeg's WAV muxer writes 16 bits and its FLAC
// encoder 24, whatever the source had. A WAV file's RIFF header counts to
// 4 GiB: "-rf64 auto" switches to the RF64 header above that, and below it
// writes a plain WAV file with room for the switch in a JUNK chunk.
QString OutputOptions(const QString &outputFile, int sourceBitsPerSample)
{
    const bool deep = sourceBitsPerSample > 16;
    if (outputFile.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
        const QString large = QStringLiteral("-rf64 auto ");
        if (!deep)
            return large;
        return (sourceBitsPerSample <= 24 ? QStringLiteral("-c:a pcm_s24le ") : QStringLiteral("-c:a pcm_s32le "))
            + large;
    }
    if (outputFile.endsWith(QLatin1String(".flac"), Qt::CaseInsensitive))
        return deep ? QStringLiteral("-sample_fmt s32 ") : QStringLiteral("-sample_fmt s16 ");
    return QString();
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

// The inputs: each " <options> -i <input>".
QString JoinInputs(const QString &appFolder, const QString &inputs, const QString &outputFile,
                   int sourceBitsPerSample)
{
    return QuoteTool(appFolder, "ffmpeg") + QLatin1String(" -y") + inputs
        + QLatin1String(" -filter_complex \"[0:a][1:a]") + MeasuredMerge + MapMerged
        + OutputOptions(outputFile, sourceBitsPerSample) + QuoteToolFile(outputFile);
}

} // namespace

namespace ExportCommands {

QString RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                      const QString &chain, const QString &outWav)
{
    return ChannelCommands::RenderChannel(appFolder, sourceWav, level, chain, outWav);
}

QString RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                      const QString &chain, int pipe)
{
    return ChannelCommands::RenderChannel(appFolder, sourceWav, level, chain, pipe);
}

QString RenderSourceChannel(const QString &appFolder, const QString &sourceFile, int channel, double level,
                            const QString &chain, int pipe)
{
    return QuoteTool(appFolder, "ffmpeg") + QLatin1String(" -y -i ")
        + QuoteToolFile(sourceFile) + QLatin1String(" -filter_complex \"")
        + ImportCommands::ChannelBranch(channel, SourceBranch(level, chain, "[c]"))
        + QStringLiteral("\" -map \"[c]\" -c:a pcm_f32le -f nut pipe:%1").arg(pipe);
}

QString Join(const QString &appFolder, const QString &leftOutWav, const QString &rightOutWav,
             const QString &outputFile, int sourceBitsPerSample)
{
    return JoinInputs(appFolder,
                      ChannelCommands::LargePackets + QLatin1String(" -i ") + QuoteToolFile(leftOutWav)
                          + ChannelCommands::LargePackets + QLatin1String(" -i ") + QuoteToolFile(rightOutWav),
                      outputFile, sourceBitsPerSample);
}

QString Join(const QString &appFolder, int leftPipe, int rightPipe, const QString &outputFile,
             int sourceBitsPerSample)
{
    return JoinInputs(appFolder, ChannelCommands::PipeInput(leftPipe) + ChannelCommands::PipeInput(rightPipe),
                      outputFile, sourceBitsPerSample);
}

QString RenderWhole(const QString &appFolder, const QString &sourceFile, double leftLevel,
                    const QString &leftChain, double rightLevel, const QString &rightChain,
                    const QString &outputFile, int sourceBitsPerSample)
{
    // The source's tags stay behind: only the equalized sound is written.
    return QuoteTool(appFolder, "ffmpeg") + QLatin1String(" -y -i ")
        + QuoteToolFile(sourceFile) + QLatin1String(" -filter_complex \"")
        + ImportCommands::ChannelGraph(SourceBranch(leftLevel, leftChain, "[l]"),
                                       SourceBranch(rightLevel, rightChain, "[r]"))
        + QLatin1String(";[l][r]") + MeasuredMerge + MapMerged + QLatin1String("-map_metadata -1 ")
        + OutputOptions(outputFile, sourceBitsPerSample) + QuoteToolFile(outputFile);
}

QString ProbeAudio(const QString &appFolder, const QString &file)
{
    return QuoteTool(appFolder, "ffprobe")
        + QLatin1String(" -v error -select_streams a:0 -show_entries stream=channels:format=duration"
                        " -of default=noprint_wrappers=1 ")
        + QuoteToolFile(file);
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

QString DecodeAudio(const QString &appFolder, const QString &file)
{
    // "-stats" keeps the status lines that "-v error" would silence.
    return QuoteTool(appFolder, "ffmpeg") + QLatin1String(" -v error -stats -i ") + QuoteToolFile(file)
        + QLatin1String(" -map 0:a:0 -f null -");
}

} // namespace ExportCommands
