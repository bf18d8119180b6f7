// Builds the channel render, merge and player commands.
#include "core/tools/ChannelCommands.h"

#include "core/tools/PreviewGraph.h"

#include <QLocale>

using namespace Qt::StringLiterals;
using CommandText::Tool;
using CommandText::ToolFile;

namespace {

// Float, so a level or boost above full scale survives until the merge.
ToolCommand Render(const QString &appFolder, const QString &sourceWav, double level, const QString &chain)
{
    ToolCommand command{Tool(appFolder, "ffmpeg"), {u"-y"_s}};
    command.arguments << ChannelCommands::ChannelFileInput(sourceWav) << u"-af"_s
                      << QLatin1String("volume=") + ChannelCommands::VolumeText(level) + QLatin1Char(',') + chain
                      << u"-c:a"_s << u"pcm_f32le"_s;
    return command;
}

} // namespace

namespace ChannelCommands {

QStringList ChannelFileInput(const QString &wav)
{
    return {u"-max_size"_s, u"65536"_s, u"-i"_s, ToolFile(wav)};
}

QString VolumeText(double level)
{
    return level > 0 ? QString::number(level, 'g', QLocale::FloatingPointShortest) : QStringLiteral("0");
}

ToolCommand PlayGraph(const QString &appFolder, const QString &sourceWav, const QString &graph,
                      double startSeconds)
{
    return {Tool(appFolder, "ffplay"),
            {u"-nodisp"_s, u"-autoexit"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
             PreviewGraph::ChannelReader(sourceWav, startSeconds), u"-af"_s, graph}};
}

ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, const QString &outWav)
{
    ToolCommand command = Render(appFolder, sourceWav, level, chain);
    command.arguments << ToolFile(outWav);
    return command;
}

ToolCommand RenderChannel(const QString &appFolder, const QString &sourceWav, double level,
                          const QString &chain, int pipe)
{
    ToolCommand command = Render(appFolder, sourceWav, level, chain);
    command.arguments << PipeOutput(pipe);
    return command;
}

QStringList PipeInput(int pipe)
{
    return {u"-f"_s, u"nut"_s, u"-i"_s, QStringLiteral("pipe:%1").arg(pipe)};
}

QStringList PipeOutput(int pipe)
{
    return {u"-f"_s, u"nut"_s, QStringLiteral("pipe:%1").arg(pipe)};
}

} // namespace ChannelCommands
