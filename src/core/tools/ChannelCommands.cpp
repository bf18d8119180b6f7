// Builds the channel render, merge and player command texts.
#include "core/tools/ChannelCommands.h"

#include "core/tools/PreviewGraph.h"
#include "core/tools/CommandText.h"

#include <QLocale>

using CommandText::QuoteArgument;
using CommandText::QuoteTool;
using CommandText::QuoteToolFile;

namespace {

// The quotes enclose only the volume; the chain follows the comma verbatim.
QString VolumeAndChain(double level, const QString &chain)
{
    return QLatin1String(" -af \"volume=") + ChannelCommands::VolumeText(level)
        + QLatin1String("\",") + chain;
}

} // namespace

namespace ChannelCommands {

QString VolumeText(double level)
{
    return level > 0 ? QString::number(level, 'g', QLocale::FloatingPointShortest) : QStringLiteral("0");
}

QString PlayGraph(const QString &appFolder, const QString &sourceWav, const QString &graph,
                  double startSeconds)
{
    return QuoteTool(appFolder, "ffplay") + QLatin1String(" -nodisp -autoexit -f lavfi -i ")
        + QuoteArgument(PreviewGraph::ChannelReader(sourceWav, startSeconds)) + QLatin1String(" -af ")
        + QuoteArgument(graph);
}

QString RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                      const QString &chain, const QString &outWav)
{
    // Float, so a level or boost above full scale survives until the merge.
    return QuoteTool(appFolder, "ffmpeg") + QLatin1String(" -y") + ChannelCommands::LargePackets
        + QLatin1String(" -i ") + QuoteToolFile(sourceWav)
        + VolumeAndChain(level, chain) + QLatin1String(" -c:a pcm_f32le ") + QuoteToolFile(outWav);
}

QString RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                      const QString &chain, int pipe)
{
    return QuoteTool(appFolder, "ffmpeg") + QLatin1String(" -y") + ChannelCommands::LargePackets
        + QLatin1String(" -i ") + QuoteToolFile(sourceWav) + VolumeAndChain(level, chain)
        + QStringLiteral(" -c:a pcm_f32le -f nut pipe:%1").arg(pipe);
}

QString PipeInput(int pipe)
{
    return QStringLiteral(" -f nut -i pipe:%1").arg(pipe);
}

} // namespace ChannelCommands
