#include "export/ExportCommands.h"

#include "preview/ChannelCommands.h"
#include "process/CommandText.h"

using CommandText::QuoteArgument;

namespace ExportCommands {

QString RenderChannel(const QString &appFolder, const QString &sourceWav, qint16 level,
                      const QString &chain, const QString &outWav)
{
    // The preview renders its channels the same way.
    return ChannelCommands::RenderChannel(appFolder, sourceWav, level, chain, outWav);
}

QString Join(const QString &appFolder, const QString &leftOutWav, const QString &rightOutWav,
             const QString &outputFile)
{
    return QuoteArgument(appFolder + QLatin1String("/ffmpeg")) + QLatin1String(" -y -i ")
        + QuoteArgument(leftOutWav) + QLatin1String(" -i ") + QuoteArgument(rightOutWav)
        + ChannelCommands::MergeGraph() + QuoteArgument(outputFile);
}

QString ProbeAudio(const QString &appFolder, const QString &file)
{
    return QuoteArgument(appFolder + QLatin1String("/ffprobe"))
        + QLatin1String(" -v error -select_streams a:0 -show_entries stream=channels:format=duration"
                        " -of default=noprint_wrappers=1 ")
        + QuoteArgument(file);
}

} // namespace ExportCommands
