// The commands of the preview and the export as their texts show them,
// character for character, and the argument vectors the tools receive.
#include "core/tools/ChannelCommands.h"
#include "core/tools/ExportCommands.h"

#include <QtTest>

class tst_ChannelCommands : public QObject
{
    Q_OBJECT

private slots:
    void commandText_data();
    void commandText();
    void volumeArgument_data();
    void volumeArgument();
    void pathsWithBlanksStayOneArgument();
};

namespace {

const QString Chain = QStringLiteral(
    "equalizer=f=19:width_type=o:width=1:g=-0,equalizer=f=1000:width_type=o:width=1:g=-12");
const QString App = QStringLiteral("/opt/brenvox");
const QString Left = QStringLiteral("/opt/brenvox/TempWavs/Left.wav");
const QString Right = QStringLiteral("/opt/brenvox/TempWavs/Right.wav");
const QString Lout = QStringLiteral("/opt/brenvox/TempWavs/Lout.wav");
const QString Rout = QStringLiteral("/opt/brenvox/TempWavs/Rout.wav");

// The export's merge up to its output options.
const QString Join = QStringLiteral(
    "/opt/brenvox/ffmpeg -y -max_size 65536 -i file:/opt/brenvox/TempWavs/Lout.wav -max_size 65536 -i "
    "file:/opt/brenvox/TempWavs/Rout.wav -filter_complex [0:a][1:a]amerge=inputs=2,aformat=sample_fmts=flt,"
    "astats=measure_perchannel=none:measure_overall=Peak_level+Number_of_NaNs+Number_of_Infs[aout] -map [aout] ");

const QString BlankApp = QStringLiteral("/home/ann/My Apps/brenvox");
const QString BlankTemp = QStringLiteral("/home/ann/My Apps/brenvox/TempWavs/");

QStringList Handed(const ToolCommand &command)
{
    return QStringList{command.program} + command.arguments;
}

} // namespace

void tst_ChannelCommands::commandText_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");

    QTest::newRow("play-left")
        << ChannelCommands::PlayGraph(App, Left, "volume=1," + Chain, 0).Text()
        << "/opt/brenvox/ffplay -nodisp -autoexit -f lavfi -i \"amovie=file\\\\\\\\:/opt/brenvox/TempWavs/Left.wav,"
           "asetnsamples=n=128:p=1\" -af volume=1," + Chain;
    QTest::newRow("play-right from 2.5 s")
        << ChannelCommands::PlayGraph(App, Right, "[in]anull[out]", 2.5).Text()
        << "/opt/brenvox/ffplay -nodisp -autoexit -f lavfi -i \"amovie=file\\\\\\\\:/opt/brenvox/TempWavs/Right.wav:sp=2.5,"
           "asetnsamples=n=128:p=1\" -af [in]anull[out]";
    QTest::newRow("render-left")
        << ChannelCommands::RenderChannel(App, Left, 1, Chain, Lout).Text()
        << "/opt/brenvox/ffmpeg -y -max_size 65536 -i file:/opt/brenvox/TempWavs/Left.wav -af volume=1," + Chain
               + " -c:a pcm_f32le file:/opt/brenvox/TempWavs/Lout.wav";
    QTest::newRow("render-right level -1")
        << ChannelCommands::RenderChannel(App, Right, -1, Chain, Rout).Text()
        << "/opt/brenvox/ffmpeg -y -max_size 65536 -i file:/opt/brenvox/TempWavs/Right.wav -af volume=0," + Chain
               + " -c:a pcm_f32le file:/opt/brenvox/TempWavs/Rout.wav";
    QTest::newRow("export join has -y once")
        << ExportCommands::Join(App, Lout, Rout, QStringLiteral("/home/ann/song.mp3"), 24).Text()
        << Join + "file:/home/ann/song.mp3";
    QTest::newRow("32-bit source to FLAC")
        << ExportCommands::Join(App, Lout, Rout, QStringLiteral("/home/ann/song.flac"), 32).Text()
        << Join + "-sample_fmt s32 file:/home/ann/song.flac";
    QTest::newRow("folder with blanks")
        << ChannelCommands::RenderChannel(BlankApp, BlankTemp + "Left.wav", 1, Chain,
                                          BlankTemp + "Lout.wav").Text()
        << "\"/home/ann/My Apps/brenvox/ffmpeg\" -y -max_size 65536 -i \"file:/home/ann/My Apps/brenvox/TempWavs/Left.wav\""
           " -af volume=1," + Chain + " -c:a pcm_f32le \"file:/home/ann/My Apps/brenvox/TempWavs/Lout.wav\"";
    QTest::newRow("output with blanks and a quote")
        << ExportCommands::Join(App, Lout, Rout, QStringLiteral("/home/ann/My \"Best\" Mix.wav"), 16).Text()
        << Join + "-rf64 auto \"file:/home/ann/My \\\"Best\\\" Mix.wav\"";
}

void tst_ChannelCommands::commandText()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    QCOMPARE(command, expected);
}

void tst_ChannelCommands::volumeArgument_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("filterArgument");

    QTest::newRow("2") << 2 << "volume=2," + Chain;
    QTest::newRow("1") << 1 << "volume=1," + Chain;
    QTest::newRow("0") << 0 << "volume=0," + Chain;
    QTest::newRow("-1") << -1 << "volume=0," + Chain;
    QTest::newRow("-2") << -2 << "volume=0," + Chain;
}

// The quotes around the volume vanish and the chain joins it in one
// argument, as ffmpeg needs it.
void tst_ChannelCommands::volumeArgument()
{
    QFETCH(int, level);
    QFETCH(QString, filterArgument);
    const QStringList arguments = ChannelCommands::RenderChannel(App, Left, level, Chain, Lout).arguments;
    const qsizetype af = arguments.indexOf(QStringLiteral("-af"));
    QVERIFY(af >= 0);
    QCOMPARE(arguments.value(af + 1), filterArgument);
    QCOMPARE(arguments.last(), "file:" + Lout);
}

void tst_ChannelCommands::pathsWithBlanksStayOneArgument()
{
    const QString output = QStringLiteral("/home/ann/My \"Best\" Mix.flac");
    const QStringList join = Handed(ExportCommands::Join(
        BlankApp, BlankTemp + "Lout.wav", BlankTemp + "Rout.wav", output, 24));
    QCOMPARE(join, (QStringList{BlankApp + "/ffmpeg", "-y", "-max_size", "65536", "-i", "file:" + BlankTemp + "Lout.wav",
                                "-max_size", "65536", "-i", "file:" + BlankTemp + "Rout.wav", "-filter_complex",
                                "[0:a][1:a]amerge=inputs=2,aformat=sample_fmts=flt,"
                                "astats=measure_perchannel=none:"
                                "measure_overall=Peak_level+Number_of_NaNs+Number_of_Infs[aout]",
                                "-map", "[aout]", "-sample_fmt", "s32", "file:" + output}));
    const QString graph = QStringLiteral("amovie=/home/ann/My Apps/R\\\\,ight.wav,volume=1 [out]");
    const QStringList play = Handed(ChannelCommands::PlayGraph(BlankApp, BlankTemp + "Right.wav", graph, 0));
    QCOMPARE(play, (QStringList{BlankApp + "/ffplay", "-nodisp", "-autoexit", "-f", "lavfi", "-i",
                                "amovie=file\\\\:" + BlankTemp + "Right.wav,asetnsamples=n=128:p=1", "-af", graph}));
}

QTEST_GUILESS_MAIN(tst_ChannelCommands)
#include "tst_channelcommands.moc"
