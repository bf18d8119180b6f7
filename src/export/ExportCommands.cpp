#include "export/ExportCommands.h"

#include "import/ImportCommands.h"
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

QString RenderWhole(const QString &appFolder, const QString &sourceFile, qint16 leftLevel,
                    const QString &leftChain, qint16 rightLevel, const QString &rightChain,
                    const QString &outputFile)
{
    // Each branch meets the formats a channel file gives its render and
    // a render gives the merge: mono 32-bit float.
    const auto branch = [](qint16 level, const QString &chain, const char *label) {
        return QLatin1String(",aformat=sample_fmts=flt,volume=") + ChannelCommands::VolumeText(level)
            + QLatin1Char(',') + chain + QLatin1String(",aformat=sample_fmts=flt:channel_layouts=mono")
            + QLatin1String(label);
    };
    // The source's tags stay behind, as they do when the channels pass
    // through the workspace files.
    return QuoteArgument(appFolder + QLatin1String("/ffmpeg")) + QLatin1String(" -y -i ")
        + QuoteArgument(sourceFile) + QLatin1String(" -filter_complex \"")
        + ImportCommands::ChannelGraph(branch(leftLevel, leftChain, "[l]"),
                                       branch(rightLevel, rightChain, "[r]"))
        + QLatin1String(";[l][r]amerge=inputs=2[aout]\" -map \"[aout]\" -map_metadata -1 ")
        + QuoteArgument(outputFile);
}

QString ProbeAudio(const QString &appFolder, const QString &file)
{
    return QuoteArgument(appFolder + QLatin1String("/ffprobe"))
        + QLatin1String(" -v error -select_streams a:0 -show_entries stream=channels:format=duration"
                        " -of default=noprint_wrappers=1 ")
        + QuoteArgument(file);
}

} // namespace ExportCommands
