// How the both-channel preview's log handler scales: the time per chunk
// must not grow with the log, or an hour-long preview slows the window.
#include "app/Form1.h"
#include "preview/Form4.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <cstdio>
#include <cstring>

namespace {

// Chunks as ffmpeg's console output gives them: header lines with CR LF
// pairs, then status lines ending in a lone carriage return.
QStringList SampleChunks()
{
    return {
        QStringLiteral("Input #0, wav, from '/home/ann/TempWavs/Left.wav':\r\n  Metadata:\r\n"
                       "    encoder         : Lavf59.27.100\r\n  Duration: 01:00:00.00, bitrate: 705 kb/s\r\n"),
        QStringLiteral("  Stream #0:0: Audio: pcm_s16le ([1][0][0][0] / 0x0001), 44100 Hz, mono, s16, 705 kb/s\r\n"
                       "Stream mapping:\r\n  Stream #0:0 -> #0:0 (pcm_s16le (native) -> pcm_s16le (native))\r\n"),
        QStringLiteral("size=    6912kB time=00:01:22.29 bitrate= 688.1kbits/s speed= 165x    \r"),
        QStringLiteral("size=   14336kB time=00:02:46.90 bitrate= 703.6kbits/s speed= 167x    \r"),
    };
}

double RunChunks(Form1 &form, const QStringList &samples, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        QString chunk = samples.at(i % samples.size());
        form.objDOS_ReceiveOutputs(chunk);
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    QApplication application(argc, argv);

    Form1 form;
    if (form.Option3.size() < 3) {
        std::fprintf(stderr, "the main window has no preview choices\n");
        return 1;
    }
    form.Option3[2]->setChecked(true);
    Form4 *window = Form4::Load(&form);

    const int half = quick ? 2000 : 100000;
    const QStringList samples = SampleChunks();
    const double first = RunChunks(form, samples, half);
    const double second = RunChunks(form, samples, half);
    const int lines = window->Text1->blockCount();

    std::printf("preview log: %d chunks, first %d in %.1f ms (%.2f us/chunk), "
                "second %d in %.1f ms (%.2f us/chunk), ratio %.2f, %d lines\n",
                2 * half, half, first, 1000.0 * first / half, half, second,
                1000.0 * second / half, second / first, lines);
    window->close();
    // Twice as slow for the second half would mean the cost follows the log.
    std::fflush(stdout);
    return second / first < 2.0 ? 0 : 1;
}
