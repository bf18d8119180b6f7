// The preview's window: what plays, the position and the source's length, a
// way to start elsewhere, the "Bypass" switch (B) and Stop; below its
// visible area, a log of the player's output.
#pragma once

#include <QPointer>
#include <QVector>
#include <QWidget>

class PreviewJob;

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;

class PreviewWindow : public QWidget
{
    Q_OBJECT

public:
    // Deleted once closed.
    explicit PreviewWindow(QWidget *owner);

    // Closed, and about to be deleted.
    bool Closing() const { return mUnloading; }

    // Which channels play (0 left, 1 right, 2 both) and the source's length.
    void ShowPreview(int channel, double durationSeconds);
    void ShowPosition(double seconds);
    // Said once, in place of "Playing.".
    void ShowNote(const QString &note);
    // Says what failed; the window stays open until the user closes it.
    // Its button reads "Stop" while the preview plays and "Close" after a
    // failure.
    void ShowFailure(const QString &failure);
    // Each chunk ends up on its own line; the cost does not grow with the log.
    void AppendLog(const QString &chunk);

    // The job that closing the window cancels and that the bypass switch and
    // the position slider drive.
    void WatchJob(PreviewJob *job);

    // "2:05": minutes and seconds, hours in front when there are any.
    static QString ClockText(double seconds);

    QVector<QLabel *> Label1;         // what plays, how it plays, the position
    QPushButton *Command1 = nullptr;  // "Stop", then "Close"
    QCheckBox *Bypass = nullptr;      // the untouched sound instead of the equalized one
    QSlider *Position = nullptr;      // seconds; moving it plays on from there
    QWidget *Picture1 = nullptr;      // below the visible area at this size
    QPlainTextEdit *Text1 = nullptr;  // tool output log

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void PositionChosen();

    QPointer<PreviewJob> mJob;
    double mDuration = 0;
    bool mUnloading = false;
    bool mShowingPosition = false;
};
