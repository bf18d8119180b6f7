// Runner throughput: how fast a child's flood of output is read to the end,
// and how much the program's memory grows meanwhile.
#include "BenchRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// VmRSS or VmHWM of this process, in kB.
long StatusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Lets VmHWM measure from here on.
void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const bool quick = application.arguments().contains(QStringLiteral("--quick"));
    const int megabytes = quick ? 2 : 50;
    const int rounds = quick ? 1 : 5;

    std::vector<double> seconds;
    std::vector<double> growthMb;
    for (int round = 0; round < rounds; ++round) {
        ToolRun runner;
        qint64 chunks = 0;
        qint64 size = 0;
        ResetPeak();
        const long before = StatusKb("VmRSS:");
        QElapsedTimer clock;
        clock.start();
        RunToEnd(runner, {QStringLiteral(RUNNER_CHILD), {QStringLiteral("flood"), QString::number(megabytes)}},
                 [&](const QByteArray &chunk) {
                     ++chunks;
                     size += chunk.size();
                 });
        seconds.push_back(clock.elapsed() / 1000.0);
        growthMb.push_back((StatusKb("VmHWM:") - before) / 1024.0);
        if (size != qint64(megabytes) * 1024 * 1024 || chunks != size / ToolRun::ChunkSize) {
            std::fprintf(stderr, "read %lld bytes in %lld chunks: wrong\n", qlonglong(size), qlonglong(chunks));
            return 1;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(growthMb.begin(), growthMb.end());
    const double medianSeconds = seconds[seconds.size() / 2];
    const double medianGrowth = growthMb[growthMb.size() / 2];
    std::printf("runner throughput: %d MB in %.3f s median of %d (target < 2 s), %.1f MB/s\n",
                megabytes, medianSeconds, rounds, megabytes / medianSeconds);
    std::printf("runner memory: peak growth %.1f MB for %d MB of output (ratio %.2f)\n",
                medianGrowth, megabytes, medianGrowth / megabytes);
    return 0;
}
