#include "core/tools/ImportCommands.h"

using namespace Qt::StringLiterals;
using CommandText::Tool;
using CommandText::ToolFile;

namespace {

// Each file's astats reports only its peak, in the log at the end of the
// run. It is held in float: left to itself, ffmpeg may pick an integer
// format for the middle of the graph and clip a decoder's samples above
// full scale before they are measured. Before the split the conversion
// would leave amerge without a channel layout.
const QLatin1String MeasuredFloat(
    ",aformat=sample_fmts=flt,astats=measure_perchannel=Peak_level:measure_overall=none");

// The source's first audio stream. More than two channels are downmixed by
// ffmpeg's own matrix, the one "-ac 2" applies (centre and surrounds into
// both sides at -3 dB): taking only the first two would leave dialogue in
// the centre out. In float, as the common surround decoders give it, the
// matrix is not scaled down to keep integer samples from clipping: the
// merge measures the peak. A format list that allowed mono would let the
// branches' mono ends pick a mono downmix.
QString SourceAudio(int sourceChannels)
{
    return sourceChannels > 2 ? QStringLiteral("[0:a:0]aformat=sample_fmts=flt:channel_layouts=stereo,")
                              : QStringLiteral("[0:a:0]");
}

const QLatin1String LeftPick("pan=mono|c0=c0");
// From the stream merged with itself (ChannelGraph tells why).
const QLatin1String RightPick("amerge=inputs=2,pan=mono|c0=c1");

} // namespace

namespace ImportCommands {

QString ChannelGraph(const QString &leftEnd, const QString &rightEnd, int sourceChannels)
{
    // Channel 1 is taken from the stream merged with itself: for two or
    // more channels that is still the stream's second channel, for mono it
    // is a copy of the only one. pan on its own would give silence for a
    // channel the stream lacks, and -map_channel picks by stream number
    // (often video) and is gone from newer ffmpeg.
    return SourceAudio(sourceChannels) + QLatin1String("asplit=3[a][b][c];[a]") + LeftPick + leftEnd + QLatin1String(";[b][c]")
        + RightPick + rightEnd;
}

QString ChannelBranch(int channel, const QString &end, int sourceChannels)
{
    return SourceAudio(sourceChannels)
        + (channel == 0 ? QString(LeftPick) : QLatin1String("asplit=2[b][c];[b][c]") + RightPick)
        + end;
}

ToolCommand ProbeCommand(const QString &appFolder, const QString &sourceFile)
{
    // The report follows the console lines, which stay as a person reads
    // them; only what the import needs is asked for.
    return {Tool(appFolder, "ffprobe"),
            {u"-hide_banner"_s, u"-stats"_s, u"-i"_s, ToolFile(sourceFile), u"-show_entries"_s,
             u"stream=index,codec_type,codec_name,sample_rate,sample_fmt,bits_per_raw_sample,channels,channel_layout"
             u":stream_disposition=attached_pic:format=duration"_s,
             u"-of"_s, u"json"_s}};
}

ToolCommand SplitCommand(const QString &appFolder, const QString &sourceFile,
                         const QString &leftWav, const QString &rightWav, int sourceChannels)
{
    // Float keeps a boost before a later cut from clipping between the
    // steps, and keeps a source's depth beyond 16 bits up to the merge.
    return {Tool(appFolder, "ffmpeg"),
            {u"-y"_s, u"-i"_s, ToolFile(sourceFile), u"-filter_complex"_s,
             ChannelGraph(MeasuredFloat + QLatin1String("[left]"), MeasuredFloat + QLatin1String("[right]"),
                          sourceChannels),
             u"-map"_s, u"[left]"_s, u"-c:a"_s, u"pcm_f32le"_s, ToolFile(leftWav),
             u"-map"_s, u"[right]"_s, u"-c:a"_s, u"pcm_f32le"_s, ToolFile(rightWav)}};
}

} // namespace ImportCommands
