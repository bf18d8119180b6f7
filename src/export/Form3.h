// The export window: renders both channels and merges them into the output
// file, with one progress bar over the three ffmpeg runs.
#pragma once

#include "export/ExportProgress.h"
#include "export/WrittenAudioCheck.h"

#include <QVector>
#include <QWidget>

#include <memory>

class DOSOutputs;
class Form1;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class SequenceScope;

class Form3 : public QWidget
{
    Q_OBJECT

public:
    // The loaded instance, or nullptr (also once it has been closed);
    // loading runs the window's load step, which arms the start timer.
    static Form3 *Loaded();
    static Form3 *Load(Form1 *owner);
    static void UnloadIfLoaded();

    ~Form3() override;

    // The left and right renders, then JoinWavs.
    void SaveChanels();
    // The merge of both equalized channels into the temporary output, its
    // check, and its rename over OutputFile.
    void JoinWavs();
    void objDOS_ReceiveOutputs(QString &CommandOutputs);

    bool ExportRunning() const;
    // The file the merge writes, beside OutputFile; it is removed when the
    // export fails or the window closes, and replaces OutputFile once checked.
    void SetTemporaryOutput(const QString &path);
    // The chosen output must not be written: the window says why and the
    // export does not run.
    void RefuseOutput(const QString &reason);

    std::shared_ptr<DOSOutputs> objDOS;
    ExportCounters Counters;

    QVector<QLabel *> Label1;  // 0 heading, 1 output path, 2..4 step names,
                               // 5 overall progress, 6..8 step statuses
    QLabel *Label2 = nullptr;  // what failed, in plain words
    QPushButton *Command1 = nullptr; // "Cancel"
    QProgressBar *PBar = nullptr;
    QFrame *Shape1 = nullptr;
    QFrame *Shape2 = nullptr;
    QFrame *Shape3 = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    explicit Form3(Form1 *owner);

    void Timer1_Timer();
    // Runs one step on objDOS; false when it failed (reported) or the export
    // was cancelled.
    bool RunStep(QLabel *status, const QString &stepName, const QString &command,
                 const QString &output);
    // Probes a file with ffprobe on objDOS; false as RunStep.
    bool ProbeStep(QLabel *status, const QString &stepName, const QString &file,
                   WrittenAudioCheck::ProbedAudio &probed);
    // Runs the command on the runner; false when the export was cancelled
    // meanwhile (the window is then cleaned up).
    bool RunToEnd(const std::shared_ptr<DOSOutputs> &runner, const QString &command);
    bool Cancelled(const std::shared_ptr<DOSOutputs> &runner) const;
    void FailStep(QLabel *status, const QString &stepName, const QString &failure);
    void ShowFailure(const QString &failure);
    void RemoveIncompleteOutput();
    std::shared_ptr<DOSOutputs> StartRunner();

    std::unique_ptr<SequenceScope> mSequence;
    QString mTemporaryOutput;
    QString mRefusal;
    bool mExporting = false;
    bool mUnloading = false;
};
