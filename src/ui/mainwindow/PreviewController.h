// "Preview": the left, the right or both channels through one player at
// once, with Form4 showing it; the session passes every settings change on
// to the player while it plays.
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class Form4;
class PreviewJob;
class Session;
class QWidget;

class PreviewController : public QObject
{
    Q_OBJECT

public:
    PreviewController(Session &session, QWidget *window);
    ~PreviewController() override;

    // Starts the preview job, which Form4 shows, and returns. Stop, Reset,
    // another preview choice and closing Form4 or the main window end it:
    // they close Form4, which cancels the job.
    void Start(int channel);
    // Ends the running preview at once: its tool stops and Form4 closes.
    void Stop();
    // What the player writes, into Form4's log.
    void Log(QString chunk);
    // The open preview window, or null once closed.
    Form4 *Window() const;
    // The open window, or a new one, shown at once.
    Form4 *OpenWindow();

private:
    void Watch(Form4 *window, PreviewJob *job);

    Session &mSession;
    QWidget *mOwner;
    std::unique_ptr<PreviewJob> mJob;
    QPointer<Form4> mWindow;
};
