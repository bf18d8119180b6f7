// The export window: renders both channels and merges them into the output
// file, with one progress bar over the three ffmpeg runs.
#pragma once

#include "export/ExportProgress.h"

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
    // The merge of both equalized channels into OutputFile.
    void JoinWavs();
    void objDOS_ReceiveOutputs(QString &CommandOutputs);

    bool ExportRunning() const;
    // Until the export completes, the output file is removed when the export
    // fails or the window closes.
    void ClaimOutputFile(const QString &path);
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
    bool Cancelled(const std::shared_ptr<DOSOutputs> &runner) const;
    void ShowFailure(const QString &failure);
    void RemoveIncompleteOutput();
    std::shared_ptr<DOSOutputs> StartRunner();

    std::unique_ptr<SequenceScope> mSequence;
    QString mIncompleteOutput;
    QString mRefusal;
    bool mExporting = false;
    bool mUnloading = false;
};
