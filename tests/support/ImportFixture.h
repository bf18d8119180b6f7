// A started main window in its own application folder, and the steps of an
// import as the user takes them: choose a file after "Open", then wait.
#pragma once

#include "StartedMainWindow.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>

class ImportWindow;

class ImportFixture : public StartedMainWindow
{
public:
    // The application folder's name may hold awkward characters; the real
    // ffprobe and ffmpeg are linked into it.
    explicit ImportFixture(const QString &appFolderName = QStringLiteral("app"));
    ~ImportFixture() override;

    // Answers the open dialog with 'path' and clicks "Open". Returns the
    // import window when one is shown.
    ImportWindow *Open(const QString &path);
    int dialogRequests() const;

    // Runs 'action' once 'condition' holds, checking from the event loop
    // every few milliseconds, also while a tool runs.
    void WhenTrue(std::function<bool()> condition, std::function<void()> action);

    enum class End { Completed, Failed, ClosedEarly, StillRunning };
    // Waits for the import shown by Open to end: the window closed
    // itself after "Completed.", it shows a failure, or it went otherwise.
    End WaitForEnd(int timeoutMilliseconds = 60000);

    // Observed on the window opened last.
    QList<int> progress;            // every value the bar took after Open
    QStringList statusAtClose;      // both status labels as the window closed
    qint64 splitEndedAt = -1;       // when the bar reached 80
    qint64 closedAt = -1;           // when the window received its close
    QElapsedTimer clock;

    QPointer<ImportWindow> importWindow;

private:
    int mDialogRequests = 0;
    QString mAnswer;
};
