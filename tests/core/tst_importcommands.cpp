// The probe and split commands as their texts show them, and what the tools
// receive.
#include "core/tools/ImportCommands.h"

#include <QtTest>

namespace {

const QString SplitGraph = QStringLiteral(
    "[0:a:0]asplit=3[a][b][c];"
    "[a]pan=mono|c0=c0,aformat=sample_fmts=flt,astats=measure_perchannel=Peak_level:measure_overall=none[left];"
    "[b][c]amerge=inputs=2,pan=mono|c0=c1,aformat=sample_fmts=flt,"
    "astats=measure_perchannel=Peak_level:measure_overall=none[right]");

} // namespace

class TestImportCommands : public QObject
{
    Q_OBJECT

private slots:
    void plainPathsGoInBehindTheFileProtocol();
    void argumentsReachTheTools_data();
    void argumentsReachTheTools();
};

void TestImportCommands::plainPathsGoInBehindTheFileProtocol()
{
    QVERIFY(ImportCommands::ProbeCommand(QStringLiteral("/opt/eq"), QStringLiteral("/music/SONG1.MP3"))
                .Text()
                .startsWith(QStringLiteral("/opt/eq/ffprobe -hide_banner -stats -i file:/music/SONG1.MP3 ")));
    QCOMPARE(ImportCommands::SplitCommand(QStringLiteral("/opt/eq"), QStringLiteral("/music/SONG1.MP3"),
                                          QStringLiteral("/opt/eq/TempWavs/Left.wav"),
                                          QStringLiteral("/opt/eq/TempWavs/Right.wav"))
                 .Text(),
             QStringLiteral("/opt/eq/ffmpeg -y -i file:/music/SONG1.MP3 -filter_complex ") + SplitGraph
                 + QStringLiteral(" -map [left] -c:a pcm_f32le file:/opt/eq/TempWavs/Left.wav"
                                  " -map [right] -c:a pcm_f32le file:/opt/eq/TempWavs/Right.wav"));
}

void TestImportCommands::argumentsReachTheTools_data()
{
    QTest::addColumn<QString>("appFolder");
    QTest::addColumn<QString>("source");

    QTest::newRow("plain") << "/opt/eq" << "/music/song.mp3";
    QTest::newRow("blanks") << "/opt/my eq" << "/music/my song.mp3";
    QTest::newRow("quotes and backslash") << "/opt/eq \"2\"" << "/music/a \"b\" c\\d.wav";
    QTest::newRow("non-ASCII") << "/opt/\u00e9galiseur" << "/musik/Gr\u00fc\u00dfe \u65e5\u672c.wav";
    QTest::newRow("looks like an option") << "/opt/eq" << "/music/-y -i x.wav";
    QTest::newRow("empty source") << "/opt/eq" << "";
}

void TestImportCommands::argumentsReachTheTools()
{
    QFETCH(QString, appFolder);
    QFETCH(QString, source);
    const QString left = appFolder + QStringLiteral("/TempWavs/Left.wav");
    const QString right = appFolder + QStringLiteral("/TempWavs/Right.wav");
    const QString handedOver = source.isEmpty() ? source : "file:" + source;

    const ToolCommand probe = ImportCommands::ProbeCommand(appFolder, source);
    QCOMPARE(QStringList{probe.program} + probe.arguments.mid(0, 4),
             (QStringList{appFolder + QStringLiteral("/ffprobe"), QStringLiteral("-hide_banner"),
                          QStringLiteral("-stats"), QStringLiteral("-i"), handedOver}));
    const ToolCommand split = ImportCommands::SplitCommand(appFolder, source, left, right);
    QCOMPARE(QStringList{split.program} + split.arguments,
             (QStringList{appFolder + QStringLiteral("/ffmpeg"), QStringLiteral("-y"),
                          QStringLiteral("-i"), handedOver, QStringLiteral("-filter_complex"), SplitGraph,
                          QStringLiteral("-map"), QStringLiteral("[left]"), QStringLiteral("-c:a"),
                          QStringLiteral("pcm_f32le"), "file:" + left, QStringLiteral("-map"), QStringLiteral("[right]"),
                          QStringLiteral("-c:a"), QStringLiteral("pcm_f32le"), "file:" + right}));
}

QTEST_GUILESS_MAIN(TestImportCommands)
#include "tst_importcommands.moc"
