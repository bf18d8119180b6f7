// The export window: shows the export job (both channels rendered and merged
// into the output file as they go) with one progress bar over the three ffmpeg runs.
#pragma once

#include "core/tools/ExportProgress.h"
#include "jobs/ExportJob.h"

#include <QPointer>
#include <QVector>
#include <QWidget>

#include <memory>

class MainWindow;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class SequenceScope;
class Session;

class ExportWindow : public QWidget
{
    Q_OBJECT

public:
    // Its load step arms the start timer.
    explicit ExportWindow(MainWindow *owner);
    ~ExportWindow() override;

    // Closed, though it may still be waiting for the export to stop.
    bool Closing() const { return mUnloading; }

    // Starts the export job: the left and right renders together, streaming
    // into their merge into the temporary output, then its check and its
    // rename over OutputFile.
    void SaveChanels();
    // Takes one piece of the running step's output into the progress.
    void ShowToolOutput(QString &CommandOutputs);

    bool ExportRunning() const;
    // The file the merge writes, beside OutputFile; it is removed when the
    // export fails or the window closes, and replaces OutputFile once checked
    // (a file that appeared there since the user chose it only when the user
    // agreed to replace one).
    void SetTemporaryOutput(std::shared_ptr<OutputReplacement::TemporaryOutput> output,
                            bool replaceExisting);
    // The chosen output must not be written: the window says why and the
    // export does not run.
    void RefuseOutput(const QString &reason);

    // The running export, or null.
    const ExportJob *Job() const { return mJob.get(); }

    QVector<QLabel *> Label1;  // 0 heading, 1 output path, 2..4 step names,
                               // 5 overall progress, 6..8 step statuses
    QLabel *Label2 = nullptr;  // what failed, in plain words
    QLabel *Label3 = nullptr;  // in Label2's place once saved: the file's peak, and whether it clipped
    QPushButton *Command1 = nullptr; // "Cancel"
    QProgressBar *PBar = nullptr;
    QFrame *Shape1 = nullptr;
    QFrame *Shape2 = nullptr;
    QFrame *Shape3 = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<ExportJob> mJob;
    void Timer1_Timer();
    void RowStarted(int row);
    void RowOutput(int row, const QString &chunk);
    void RowCompleted(int row);
    void RowFailed(int row, const QString &said);
    void RowStopped(int row);
    void WrittenPeakMeasured(double peakDb);
    void ExportEnded();
    void ShowFailure(const QString &failure);
    // The bar and its text as the job counts them now.
    void ShowJobProgress();
    void RemoveIncompleteOutput();
    QLabel *RowStatus(int row) const;

    QPointer<Session> mSession;
    std::unique_ptr<SequenceScope> mSequence;
    std::shared_ptr<OutputReplacement::TemporaryOutput> mTemporaryOutput;
    bool mReplaceExisting = false;
    QString mRefusal;
    bool mExporting = false;
    bool mUnloading = false;
};
