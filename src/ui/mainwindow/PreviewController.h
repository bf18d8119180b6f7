// "Preview": the left, the right or both channels through one player at
// once, with PreviewWindow showing it; the session passes every settings change on
// to the player while it plays.
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class PreviewWindow;
class PreviewJob;
class Session;
class QWidget;

class PreviewController : public QObject
{
    Q_OBJECT

public:
    PreviewController(Session &session, QWidget *window);
    ~PreviewController() override;

    // Starts the preview job, which PreviewWindow shows, and returns. Stop, Reset,
    // another preview choice and closing PreviewWindow or the main window end it:
    // they close PreviewWindow, which cancels the job.
    void Start(int channel);
    // Ends the running preview at once: its tool stops and PreviewWindow closes.
    void Stop();
    // What the player writes, into PreviewWindow's log.
    void Log(QString chunk);
    // The open preview window, or null once closed.
    PreviewWindow *Window() const;
    // The open window, or a new one, shown at once.
    PreviewWindow *OpenWindow();

private:
    void Watch(PreviewWindow *window, PreviewJob *job);

    Session &mSession;
    QWidget *mOwner;
    std::unique_ptr<PreviewJob> mJob;
    QPointer<PreviewWindow> mWindow;
};
