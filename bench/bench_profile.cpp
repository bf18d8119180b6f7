// How long a profile of many filters takes to import, file to settings: the
// work should grow with the filter count, not its square.
#include "core/presets/ProfileImport.h"

#include "BenchFigures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Peaking filters spread over the audible range, narrow and wide mixed, as
// a room correction with many points writes them.
QByteArray Filters(int count)
{
    QByteArray text("Preamp: -6 dB\n");
    for (int i = 0; i < count; ++i) {
        const double frequency = 20 * std::pow(1000.0, (i + 0.5) / count);
        text += QStringLiteral("Filter %1: ON PK Fc %2 Hz Gain %3 dB Q %4\n")
                    .arg(i + 1).arg(frequency, 0, 'f', 2).arg((i % 7) * 0.5 - 1.5).arg(i % 3 ? 2.0 : 40.0)
                    .toUtf8();
    }
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool quick = application.arguments().contains(QStringLiteral("--quick"));
    const std::vector<int> counts = quick ? std::vector<int>{200, 2000} : std::vector<int>{2000, 20000};
    const int rounds = quick ? 1 : 3;
    QTemporaryDir folder;
    std::vector<double> medians;
    for (const int count : counts) {
        const QString path = folder.filePath(QStringLiteral("filters%1.txt").arg(count));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(Filters(count)) < 0 || !file.flush()) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return 1;
        }
        file.close();
        std::vector<double> seconds;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer clock;
            clock.start();
            const ProfileImport::Result result = ProfileImport::ImportFile(path, EqualizerSettings());
            seconds.push_back(clock.nsecsElapsed() / 1e9);
            if (!result.ok) {
                std::fprintf(stderr, "%s\n", qPrintable(result.message));
                return 1;
            }
        }
        medians.push_back(Median(seconds));
        std::printf("import of %6d filters (%7lld bytes): median %8.3f s over %d rounds\n", count,
                    static_cast<long long>(QFileInfo(path).size()), medians.back(), rounds);
    }
    // Tenfold the filters: near ten times the time is linear, a hundred
    // times is the square.
    std::printf("growth for %dx the filters: %.1fx the time\n", counts[1] / counts[0], medians[1] / medians[0]);
    return 0;
}
