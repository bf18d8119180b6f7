// Export: the text other tools read, and that importing it gives the same
// sliders back.
#include "core/equalizer/OutputLevel.h"
#include "core/presets/PipeWireExport.h"
#include "core/presets/ProfileExport.h"
#include "core/presets/ProfileImport.h"

#include "CookbookResponse.h"
#include "PresetTestData.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <cmath>
#include <map>

namespace {

// Every builtin node's controls by its name, from the text's numbers.
std::map<QString, std::map<QString, double>> Nodes(const QString &text)
{
    std::map<QString, std::map<QString, double>> nodes;
    static const QRegularExpression node(QStringLiteral("name = (\\S+) label = (\\S+) control = \\{ (.*) \\}"));
    static const QRegularExpression control(QStringLiteral("\"([^\"]+)\" = (\\S+)"));
    for (auto found = node.globalMatch(text); found.hasNext();) {
        const auto match = found.next();
        auto &controls = nodes[match.captured(1)];
        controls[QStringLiteral("label:") + match.captured(2)] = 0;
        for (auto pairs = control.globalMatch(match.captured(3)); pairs.hasNext();) {
            const auto pair = pairs.next();
            controls[pair.captured(1)] = pair.captured(2).toDouble();
        }
    }
    return nodes;
}

// One side of the graph at f: its mixer's gain and its biquads in the
// cookbook's form with the Q written.
double GraphDb(const std::map<QString, std::map<QString, double>> &nodes, const QString &side, double f)
{
    double db = 0;
    for (const auto &[name, controls] : nodes) {
        if (!name.startsWith(side))
            continue;
        if (controls.count(QStringLiteral("label:mixer")))
            db += 20 * std::log10(controls.at(QStringLiteral("Gain 1")));
        else
            db += CookbookDb({controls.count(QStringLiteral("label:bq_highpass")) ? HighPass : Peak,
                              controls.at(QStringLiteral("Freq")),
                              controls.count(QStringLiteral("Gain")) ? controls.at(QStringLiteral("Gain")) : 0,
                              controls.at(QStringLiteral("Q"))},
                             f, PipeWireExport::SampleRate);
    }
    return db;
}

// What ffmpeg does with a chain text at f, from its documented filters: an
// octave width w is the Q 1/(2 sinh(ln 2 / 2 w w0 / sin w0)).
double ChainTextDb(const QString &chain, double f)
{
    double db = 0;
    static const QRegularExpression equalizer(QStringLiteral("^equalizer=f=([\\d.]+):width_type=o:width=([\\d.]+):g=(.+)$"));
    for (const QString &element : chain.split(QLatin1Char(','))) {
        const auto band = equalizer.match(element);
        const double w0 = 2 * M_PI * band.captured(1).toDouble() / PipeWireExport::SampleRate;
        if (band.hasMatch())
            db += CookbookDb({Peak, band.captured(1).toDouble(), band.captured(3).toDouble(),
                              1 / (2 * std::sinh(std::log(2.0) / 2 * band.captured(2).toDouble() * w0 / std::sin(w0)))},
                             f, PipeWireExport::SampleRate);
        else if (element == QLatin1String("highpass=f=25"))
            db += CookbookDb({HighPass, 25, 0, 0.707}, f, PipeWireExport::SampleRate);
        else if (element.startsWith(QLatin1String("volume=")))
            db += element.mid(7).chopped(2).toDouble();
    }
    return db;
}

// A private PipeWire with nothing of the user's: its own runtime and
// configuration folders, and the file as a drop-in when given.
struct PipeWire
{
    QTemporaryDir folder;
    QProcess daemon;

    QProcessEnvironment Environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"XDG_RUNTIME_DIR", "PIPEWIRE_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            environment.insert(QLatin1String(name), folder.path());
        return environment;
    }

    // pw-dump's objects once the daemon answers, with the drop-in's nodes
    // when one is given; empty if the daemon ended first.
    QByteArray Start(const QString &dropIn)
    {
        QDir(folder.path()).mkpath(QStringLiteral("conf/pipewire.conf.d"));
        QFile conf(folder.filePath(QStringLiteral("conf/pipewire.conf")));
        conf.open(QIODevice::WriteOnly);
        conf.write("context.properties = { core.daemon = true core.name = pipewire-0 support.dbus = false }\n"
                   "context.spa-libs = { audio.convert.* = audioconvert/libspa-audioconvert "
                   "support.* = support/libspa-support }\n"
                   "context.modules = [ { name = libpipewire-module-protocol-native } "
                   "{ name = libpipewire-module-client-node } { name = libpipewire-module-access } "
                   "{ name = libpipewire-module-adapter } ]\n");
        conf.close();
        QFile file(folder.filePath(QStringLiteral("conf/pipewire.conf.d/brenvox.conf")));
        if (!dropIn.isEmpty() && !(file.open(QIODevice::WriteOnly) && file.write(dropIn.toUtf8()) > 0))
            return {};
        file.close();
        QProcessEnvironment environment = Environment();
        environment.insert(QStringLiteral("PIPEWIRE_CONFIG_DIR"), folder.filePath(QStringLiteral("conf")));
        daemon.setProcessEnvironment(environment);
        daemon.start(QStringLiteral("pipewire"), {});
        for (int attempt = 0; attempt < 100 && daemon.waitForStarted() && daemon.state() == QProcess::Running; ++attempt) {
            QProcess dump;
            dump.setProcessEnvironment(Environment());
            dump.start(QStringLiteral("pw-dump"), {});
            const QByteArray objects = dump.waitForFinished(10000) && dump.exitCode() == 0 ? dump.readAll() : QByteArray();
            if (objects.contains(dropIn.isEmpty() ? "PipeWire:Interface:Core" : "effect_input.brenvox"))
                return objects;
            QTest::qWait(100);
        }
        return {};
    }

    ~PipeWire()
    {
        daemon.terminate();
        daemon.waitForFinished(5000);
    }
};

} // namespace

Q_DECLARE_METATYPE(EqualizerSettings)

class tst_ProfileExport : public QObject
{
    Q_OBJECT

private slots:
    void text()
    {
        EqualizerSettings settings;
        settings.channels[0].gains[29] = 5; // 1000 Hz
        settings.channels[0].moved[29] = true;
        settings.channels[0].levelPosition = -10;
        settings.channels[0].preampTenths = 15;
        settings.channels[1].gains[64] = -3; // 20 kHz
        settings.channels[1].moved[64] = true;
        settings.channels[1].levelPosition = 0;
        settings.channels[1].gains[1] = -2; // under the low cut
        settings.lowCut = true;
        // The settings' own line is for Brenvox, the rest for every tool.
        QStringList lines = ProfileExport::Text(settings).split(QLatin1Char('\n'));
        QVERIFY(lines.at(1).startsWith(QLatin1String("# Brenvox settings: {")));
        lines.removeAt(1);
        QCOMPARE(lines.join(QLatin1Char('\n')),
                 QStringLiteral("# Brenvox equalizer: bandwidth 1, sample rate 48000 Hz\n"
                                "Channel: L\n"
                                "Preamp: 9.4588 dB\n"
                                "Filter: ON HP Fc 25 Hz Q 0.707\n"
                                "Filter: ON PK Fc 1000 Hz Gain 5 dB Q 1.41002\n"
                                "Channel: R\n"
                                "# The level is 0: this channel is silent.\n"
                                "Preamp: -200 dB\n"
                                "Filter: ON HP Fc 25 Hz Q 0.707\n"
                                "Filter: ON PK Fc 20000 Hz Gain -3 dB Q 0.167334\n"));
    }

    void exportThenImport_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("widestBandwidth");
        QTest::newRow("48 kHz") << 48000.0 << 300;
        QTest::newRow("44.1 kHz") << 44100.0 << 100;
    }

    void exportThenImport()
    {
        QFETCH(double, rate);
        QFETCH(int, widestBandwidth);
        QRandomGenerator random(11);
        for (int round = 0; round < 100; ++round) {
            EqualizerSettings exported = RandomSettings(random);
            exported.bandwidth = std::min(exported.bandwidth, widestBandwidth);
            EqualizerSettings other;
            other.range = exported.range;
            other.bandwidth = exported.bandwidth;
            const ProfileImport::Result result = ProfileImport::FromText(
                QStringLiteral("export.txt"), ProfileExport::Text(exported, rate), other, rate);
            QVERIFY2(result.ok, qPrintable(result.message));
            QVERIFY(result.settings == exported);
        }
    }

    // The desktop's filter-chain plays what Brenvox plays: its biquads and
    // mixers, read from the text, give each side's chain within 0.01 dB,
    // and PipeWire itself takes the file.
    void pipeWire_data()
    {
        QTest::addColumn<EqualizerSettings>("settings");
        EqualizerSettings apart;
        apart.asDrawn = true;
        apart.channels[0].preampTenths = -65;
        apart.channels[1].preampTenths = 25;
        apart.channels[1].levelPosition = -8; // volume 2
        for (const int band : {10, 11, 30, 44, 58}) {
            apart.channels[0].gains[band] = band % 3 - 5;
            apart.channels[0].moved[band] = apart.channels[1].moved[band] = true;
            apart.channels[1].gains[band + 3] = 7;
        }
        EqualizerSettings cut = apart;
        cut.asDrawn = false;
        cut.lowCut = true;
        cut.avoidClipping = true;
        cut.bandwidth = 3;
        QTest::newRow("as drawn, the ears apart") << apart;
        QTest::newRow("low cut, avoid clipping, 3 octaves") << cut;
        QTest::newRow("flat") << EqualizerSettings();
    }

    void pipeWire()
    {
        QFETCH(EqualizerSettings, settings);
        const QString text = PipeWireExport::Text(settings);
        const auto nodes = Nodes(text);
        // As MainWindow builds them, a program's full scale taken as the peak.
        const QStringList chains = Chains(settings, int(PipeWireExport::SampleRate), 0.0);
        for (int channel = 0; channel < 2; ++channel) {
            const double level = 20 * std::log10(OutputLevelFromPosition(qint16(settings.channels[channel].levelPosition)).level);
            for (double f = 20; f < 20000; f *= std::pow(2, 1 / 12.0)) {
                const double graph = GraphDb(nodes, QLatin1String(channel ? "right_" : "left_"), f);
                QVERIFY2(std::abs(graph - level - ChainTextDb(chains[channel], f)) < 0.01,
                         qPrintable(QStringLiteral("%1 Hz: %2 dB, chain %3 dB").arg(f).arg(graph).arg(ChainTextDb(chains[channel], f))));
            }
        }

        static bool daemonStarts = !PipeWire().Start(QString()).isEmpty();
        if (!daemonStarts)
            QSKIP("a private pipewire daemon cannot start here");
        PipeWire pipeWire;
        const QByteArray objects = pipeWire.Start(text);
        QVERIFY2(objects.contains("\"effect_output.brenvox\""), pipeWire.daemon.readAllStandardError().constData());
        // Each control as PipeWire holds it, to its six decimals.
        for (const auto &[name, controls] : nodes) {
            for (const auto &[control, value] : controls) {
                const auto held = QRegularExpression(QRegularExpression::escape(QStringLiteral("\"%1:%2\",").arg(name, control))
                                                     + QStringLiteral("\\s*([-+.\\de]+)")).match(QString::fromUtf8(objects));
                QVERIFY2(control.startsWith(QLatin1String("label:"))
                             || std::abs(held.captured(1).toDouble() - value) <= 1e-5 * std::max(1.0, std::abs(value)),
                         qPrintable(name + QLatin1Char(':') + control + QLatin1Char(' ') + held.captured(1)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_ProfileExport)
#include "tst_profileexport.moc"
