// A started Brenvox for pipeline tests: its own application folder with the
// real ffmpeg and a stand-in ffplay that records its arguments, the main
// window, and pink noise split into the workspace as the import leaves it.
#pragma once

#include "AudioMeasure.h"
#include "TakenSource.h"
#include "StartedMainWindow.h"

#include "core/system/AppFolder.h"
#include "Controls.h"

#include <QFile>
#include <QPointer>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <functional>
#include <csignal>
#include <sys/types.h>

class BrenvoxSession : public StartedMainWindow
{
public:
    explicit BrenvoxSession(const QString &folderName = QStringLiteral("app"))
        : StartedMainWindow(folderName, [](TestAppFolder &app) {
              app.linkRealTool(QStringLiteral("ffmpeg"));
              app.linkRealTool(QStringLiteral("ffprobe"));
              app.writeTool(QStringLiteral("ffplay"), RecordingPlayer());
          })
    {
    }

    // Each run appends its arguments, one a line, then "--".
    static QByteArray RecordingPlayer(const QByteArray &beforeExit = QByteArray())
    {
        return "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$0.args\"; done\n"
               "echo -- >> \"$0.args\"\n" + beforeExit + "\n";
    }

    // The stand-in as the real ffplay 5.1 fails: it prints what a real run
    // printed (tests/data) and still exits with 0.
    static QByteArray FailingPlayer(const QString &capture)
    {
        return RecordingPlayer("cat \"" + QFile::encodeName(TestAppFolder::testDataFolder()) + '/'
                               + QFile::encodeName(capture) + "\"");
    }

    QString workspace() const { return WorkspaceFolder(); }

    QStringList toolArguments(const QString &tool) const
    {
        QFile file(app.path() + QLatin1Char('/') + tool + QLatin1String(".args"));
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Independent pink noise per channel, written and named as the import
    // writes and names it, within a sequence as the import's; every band
    // slider is applied, as the import's end does.
    bool importPinkNoise(int seconds)
    {
        const QString graph = QStringLiteral("anoisesrc=color=pink:sample_rate=44100:seed=%1:duration=%2");
        const SequenceScope import(&session);
        ::TakeSource(session, [this](Session::Source &s) {
            s.leftWav = workspace() + QLatin1String("/Left.wav");
            s.rightWav = workspace() + QLatin1String("/Right.wav");
        });
        if (!AudioMeasure::Generate(graph.arg(11).arg(seconds), session.LeftSourceWav())
            || !AudioMeasure::Generate(graph.arg(23).arg(seconds), session.RightSourceWav()))
            return false;
        ::TakeSource(session, [seconds](Session::Source &s) { s.duration = QString::number(seconds); });
        for (int band = 0; band < Controls<QSlider>(form, "LeftChanelSlider").size(); ++band) {
            for (const char *row : {"LeftChanelSlider", "RightChanelSlider"})
                Control<QSlider>(form, row, band)->triggerAction(QAbstractSlider::SliderMove);
        }
        return !session.FilterChain(0).isEmpty() && !session.FilterChain(1).isEmpty();
    }

    // "Preview" of the channel, waited for to its end.
    bool previewToEnd(int channel)
    {
        form->StartPreview(channel);
        return QTest::qWaitFor([this] { return !form || !form->PreviewRunning(); }, 60000);
    }

    void setLeftBand(int band, int position)
    {
        SetByUser(Control<QSlider>(form, "LeftChanelSlider", band), position);
    }

};

// Calls the check every few milliseconds while the code under test runs its
// tools.
class Watcher
{
public:
    explicit Watcher(std::function<void()> check, int intervalMs = 5)
    {
        QObject::connect(&mTimer, &QTimer::timeout, [check] { check(); });
        mTimer.start(intervalMs);
    }

private:
    QTimer mTimer;
};

inline bool ProcessAlive(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// A stand-in tool that records its process id before it becomes a sleep,
// so a test can see whether it outlived what should have ended it.
inline QByteArray SleepingTool(const QByteArray &beforeSleep = QByteArray())
{
    return "#!/bin/sh\n" + beforeSleep + "\necho $$ >> \"$0.pids\"\nexec sleep 30\n";
}

inline QList<qint64> RecordedPids(const TestAppFolder &app, const QString &tool)
{
    QList<qint64> pids;
    QFile file(app.path() + QLatin1Char('/') + tool + QLatin1String(".pids"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n'))
            if (!line.trimmed().isEmpty())
                pids << line.trimmed().toLongLong();
    }
    return pids;
}
