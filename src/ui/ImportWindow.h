// The import window: probes the chosen source's duration, splits
// it into one WAV file per channel and re-applies the band settings to it.
#pragma once

#include "jobs/ImportJob.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

#include <memory>

class MainWindow;
class QLabel;
class Session;
class QProgressBar;
class QPushButton;
class QTimer;

class ImportWindow : public QWidget
{
    Q_OBJECT

public:
    // Its load step reads the session's source; the start timer runs.
    explicit ImportWindow(MainWindow *owner);
    ~ImportWindow() override;

    // Closed, though it may still be waiting for its tool to stop.
    bool Closing() const { return mClosed; }

    // Starts the timer whose first tick runs the import of `source`.
    // The import is under way from now: during the pause before the probe
    // no other import, preview or export may start.
    void ScheduleImport(const QString &source);

    // Starts the import job (the probe, then the split) and returns; the
    // job ends early, showing why, when a tool cannot run or fails, and
    // stops when the window is closed meanwhile.
    void GetSourceDuration();
    // What follows a complete split: the bands re-applied, the close timer.
    void GetAudioData();
    void ShowToolOutput(QString &CommandOutputs);

    // The last import ended in a failure that the status labels show.
    bool Failed() const;

    QVector<QLabel *> Label1; // headings, source, row captions
    QVector<QLabel *> Label2; // status of the left and the right channel
    QProgressBar *PBar = nullptr;
    QPushButton *Command1 = nullptr; // "Close"
    QTimer *Timer1 = nullptr; // start timer: its first tick runs the import
    QTimer *Timer2 = nullptr; // closes the window after the split

    // The running import, or null.
    const ImportJob *Job() const { return mJob.get(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<ImportJob> mJob;
    void BuildControls();
    void Form_Load();
    void Timer1_Timer();
    void Timer2_Timer();

    void ImportOutput(const QString &chunk);
    void Probed();
    void SplitStarted();
    void ImportFailed(const QString &heading, const QString &reason);
    void ImportEnded(bool completed);
    void ShowFailure(const QString &heading, const QString &reason);
    // After the job has told its end, once it is off the stack.
    void SequenceFinished();
    void SetBothStatus(const QString &text);
    // While the import runs the main window refuses another "Open".
    void MarkSequenceStarted();
    void MarkSequenceEnded();

    QPointer<MainWindow> mOwner;
    QPointer<Session> mSession;
    // The session's source stays the open one until this one is imported.
    QString mSource;
    bool mImported = false;
    bool mSequenceMarked = false;
    bool mImporting = false;
    bool mClosed = false;
    bool mFailed = false;
};
