// The progress window of the both-channel preview: the current step, a bar,
// and a log of the tools' output.
#pragma once

#include <QPointer>
#include <QVector>
#include <QWidget>

class PreviewJob;
class Form1;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class Form4 : public QWidget
{
    Q_OBJECT

public:
    // The loaded instance, or nullptr (also once it has been closed);
    // loading runs the window's load step, which shows it.
    static Form4 *Loaded();
    static Form4 *Load(Form1 *owner);
    static void UnloadIfLoaded();

    void ShowStep(const QString &step, const QString &overallProgress, int bar);
    // Says what failed; the window stays open until the user closes it.
    // Its button reads "Stop" while the steps run and "Close" after a failure.
    void ShowFailure(const QString &failure);
    // Each chunk ends up on its own line; the cost does not grow with the log.
    void AppendLog(const QString &chunk);

    // The job that closing the window cancels.
    void WatchJob(PreviewJob *job);

    QVector<QLabel *> Label1;         // heading, current step, overall progress
    QPushButton *Command1 = nullptr;  // "Stop", then "Close"
    QProgressBar *PBar = nullptr;
    QWidget *Picture1 = nullptr;      // below the visible area at this size
    QPlainTextEdit *Text1 = nullptr;  // tool output log

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    explicit Form4(Form1 *owner);

    QPointer<PreviewJob> mJob;
    bool mUnloading = false;
};
