// Medians of the main window's heavy operations: a left band scroll with the
// sync on, a full Reset, and start-up up to the shown window (pause left out).
#include "core/system/AppFolder.h"
#include "ui/mainwindow/MainWindow.h"
#include "app/Main.h"
#include "session/Session.h"
#include "Controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double MedianMilliseconds(int rounds, const std::function<void()> &prepare, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const char *name, double median, double limit, int rounds)
{
    std::printf("%-46s median %8.3f ms over %4d runs (goal < %g ms)%s\n", name, median, rounds, limit,
                median < limit ? "" : "  OVER");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const bool quick = application.arguments().contains(QStringLiteral("--quick"));
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    OverrideAppFolder(folder.path());
    // Without the pause while "Loading..." shows.
    const Session::Options noPause{false, QString()};

    const int startRounds = quick ? 1 : 15;
    const double startup = MedianMilliseconds(startRounds, [] {}, [&] {
        Session session(noPause);
        MainWindow *form = Main(session);
        delete form;
    });

    Session session(noPause);
    MainWindow *form = Main(session);
    const int scrollRounds = quick ? 3 : 300;
    Control<QRadioButton>(form, "Option4", 1)->setChecked(true);
    int position = 0;
    const double scroll = MedianMilliseconds(scrollRounds, [] {}, [&] {
        position = position == -5 ? 5 : -5;
        Control<QSlider>(form, "LeftChanelSlider", 10)->setSliderPosition(position);
    });

    // The same with "As drawn" and "Avoid clipping": both channels solved.
    Session::Source source = session.OpenSource();
    source.peakDb = -1;
    session.TakeSource(source);
    Control<QCheckBox>(form, "AsDrawnBox")->click();
    Control<QCheckBox>(form, "AvoidClippingBox")->click();
    const double scrollAsDrawn = MedianMilliseconds(scrollRounds, [] {}, [&] {
        position = position == -5 ? 5 : -5;
        Control<QSlider>(form, "LeftChanelSlider", 10)->setSliderPosition(position);
    });
    Control<QCheckBox>(form, "AsDrawnBox")->click();
    Control<QCheckBox>(form, "AvoidClippingBox")->click();

    const int resetRounds = quick ? 1 : 30;
    const auto changeEverything = [&] {
        Control<QRadioButton>(form, "Option1", 1)->setChecked(true);
        Control<QRadioButton>(form, "Option2", 1)->setChecked(true);
        Control<QRadioButton>(form, "Option3", 2)->setChecked(true);
        Control<QSlider>(form, "LeftChanelSlider", 3)->setSliderPosition(-4);
        Control<QSlider>(form, "RightChanelSlider", 50)->setSliderPosition(2);
        Control<QSlider>(form, "Slider1", 0)->setValue(3);
        Control<QSlider>(form, "Slider2")->setValue(120);
    };
    const double resetSyncOff = MedianMilliseconds(resetRounds, [&] {
        changeEverything();
        Control<QRadioButton>(form, "Option4", 0)->setChecked(true);
    }, [&] { form->ResetEqualizer(); });
    const double resetSyncOn = MedianMilliseconds(resetRounds, [&] {
        changeEverything();
        Control<QRadioButton>(form, "Option4", 1)->setChecked(true);
    }, [&] { form->ResetEqualizer(); });
    delete form;

    Report("left band scroll, sync on (1 + 65 rebuilds)", scroll, 5, scrollRounds);
    Report("the same, as drawn and avoiding clipping", scrollAsDrawn, 20, scrollRounds);
    Report("Reset, sync off", resetSyncOff, 100, resetRounds);
    Report("Reset, sync on (low cut re-applied with copies)", resetSyncOn, 100, resetRounds);
    Report("start-up to the shown window, no pause", startup, 500, startRounds);
    return 0;
}
