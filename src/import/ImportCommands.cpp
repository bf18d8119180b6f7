#include "import/ImportCommands.h"

#include "process/CommandText.h"

using CommandText::QuoteArgument;

namespace {

} // namespace

namespace ImportCommands {

QString ChannelGraph(const QString &leftEnd, const QString &rightEnd)
{
    // Channel 1 is taken from the stream merged with itself: for two or
    // more channels that is still the stream's second channel, for mono it
    // is a copy of the only one. pan on its own would give silence for a
    // channel the stream lacks, and -map_channel picks by stream number
    // (often video) and is gone from newer ffmpeg.
    return QLatin1String("[0:a:0]asplit=3[a][b][c];[a]pan=mono|c0=c0") + leftEnd
        + QLatin1String(";[b][c]amerge=inputs=2,pan=mono|c0=c1") + rightEnd;
}

QString ProbeCommand(const QString &appFolder, const QString &sourceFile)
{
    return QuoteArgument(appFolder + QLatin1String("/ffprobe"))
        + QLatin1String(" -hide_banner -stats -i ") + QuoteArgument(sourceFile);
}

QString SplitCommand(const QString &appFolder, const QString &sourceFile,
                     const QString &leftWav, const QString &rightWav)
{
    return QuoteArgument(appFolder + QLatin1String("/ffmpeg"))
        + QLatin1String(" -y -i ") + QuoteArgument(sourceFile)
        + QLatin1String(" -filter_complex \"")
        + ChannelGraph(QStringLiteral("[left]"), QStringLiteral("[right]")) + QLatin1String("\"")
        + QLatin1String(" -map [left] ") + QuoteArgument(leftWav)
        + QLatin1String(" -map [right] ") + QuoteArgument(rightWav);
}

} // namespace ImportCommands
