// The preview player's graph and its live commands: what each change sends,
// and graphs with awkward paths that the real ffmpeg accepts.
#include "AudioMeasure.h"

#include "core/equalizer/BandTable.h"
#include "core/tools/PreviewGraph.h"

#include <QTemporaryDir>
#include <QtTest>

using ChannelResponse::Chain;
Q_DECLARE_METATYPE(Chain)

class tst_PreviewGraph : public QObject
{
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void graphRuns_data();
    void graphRuns();
};

namespace {

Chain Flat(double sampleRate = 32000)
{
    Chain chain;
    chain.sampleRate = sampleRate;
    for (int band = 0; band < ChannelResponse::BandCount; ++band)
        chain.inChain[band] = BandTable::ActsAtSampleRate(band, int(sampleRate));
    return chain;
}

} // namespace

void tst_PreviewGraph::commands_data()
{
    QTest::addColumn<Chain>("wanted");
    QTest::addColumn<QStringList>("expected");

    Chain band = Flat();
    band.gainsDb[29] = 3.5;
    band.gainsDb[12] = -12;
    QTest::newRow("bands") << band
                           << QStringList{"equalizer@R12 g -12", "equalizer@R12 enable 1",
                                          "equalizer@R29 g 3.5", "equalizer@R29 enable 1"};
    Chain level = Flat();
    level.volume = 2;
    level.preGainDb = -4.5;
    level.preampDb = 6.2;
    QTest::newRow("level, preamp and pre-gain") << level
        << QStringList{"volume@Rlevel volume 2", "volume@Rpreamp volume 6.2dB", "volume@Rpre volume -4.5dB"};
    Chain silent = Flat();
    silent.volume = -1;
    QTest::newRow("a negative level is silence") << silent << QStringList{"volume@Rlevel volume 0"};
    Chain lowCut = Flat();
    lowCut.lowCut = true;
    lowCut.gainsDb[1] = 6; // replaced by the low cut: stays at 0
    lowCut.inChain[0] = lowCut.inChain[1] = lowCut.inChain[2] = false;
    QTest::newRow("low cut") << lowCut << QStringList{"highpass@Rcut enable 1"};
    Chain width = Flat();
    width.widthsOctaves = ChannelResponse::EveryBand(3.0);
    QStringList everyBand;
    for (int b = 0; b < ChannelResponse::BandCount; ++b)
        if (BandTable::ActsAtSampleRate(b, 32000))
            everyBand << QStringLiteral("equalizer@R%1 w 3").arg(b);
    QTest::newRow("bandwidth reaches every band acting at the rate") << width << everyBand;
    width.widthsOctaves = ChannelResponse::EveryBand(300.0); // 15.55 kHz cannot act at 32 kHz: disabled, it keeps its width
    everyBand.replaceInStrings(" w 3", " w 300").removeLast();
    QTest::newRow("a band that cannot act at the bandwidth") << width << everyBand;
    Chain own = Flat();
    own.widthsOctaves[29] = 0.33;
    QTest::newRow("a band's own width reaches that band alone") << own << QStringList{"equalizer@R29 w 0.33"};
    QTest::newRow("nothing changed") << Flat() << QStringList();
}

void tst_PreviewGraph::commands()
{
    QFETCH(Chain, wanted);
    QFETCH(QStringList, expected);
    QCOMPARE(PreviewGraph::Commands(QStringLiteral("R"), Flat(), wanted), expected);
}

void tst_PreviewGraph::graphRuns_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("channels");
    QTest::newRow("plain, both") << "work" << 2;
    QTest::newRow("blanks and commas, both") << "my work, 2" << 2;
    QTest::newRow("graph characters, both") << "a;[b]'c:d=e\\f" << 2;
    QTest::newRow("graph characters, one channel") << "a;[b]'c:d=e\\f" << 1;
}

// The graph parses with the paths in it, binds its control socket and
// keeps the source's length.
void tst_PreviewGraph::graphRuns()
{
    QFETCH(QString, folder);
    QFETCH(int, channels);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkdir(folder));
    const QString dir = root.path() + QLatin1Char('/') + folder;
    const QString left = dir + QStringLiteral("/Left.wav");
    PreviewGraph::Layout layout;
    layout.rightWav = dir + QStringLiteral("/Right.wav");
    layout.controlSocket = dir + QStringLiteral("/preview.sock");
    layout.startSeconds = channels == 2 ? 0.5 : 0;
    QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=1000:d=1.5"), left));
    QVERIFY(AudioMeasure::Generate(QStringLiteral("sine=f=500:d=1.5"), layout.rightWav));
    layout.chains.assign(size_t(channels), Flat());
    if (channels == 2)
        layout.names << QStringLiteral("R");
    const QString out = dir + QStringLiteral("/out.wav");
    const AudioMeasure::ToolResult run = AudioMeasure::RunTool(
        QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-ss", "0.5", "-i", left, "-af",
                                   PreviewGraph::Graph(layout), out});
    QVERIFY2(run.exitCode == 0, qPrintable(run.output));
    QCOMPARE(AudioMeasure::Channels(out), channels);
    QVERIFY(std::abs(AudioMeasure::DurationSeconds(out) - 1.0) < 0.01);
}

QTEST_GUILESS_MAIN(tst_PreviewGraph)
#include "tst_previewgraph.moc"
