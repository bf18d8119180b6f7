// The main window's shortcuts for its buttons, and the Space key left to a
// focused button or choice.
#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>

class QPushButton;
class QWidget;

class WindowShortcuts : public QObject
{
public:
    explicit WindowShortcuts(QWidget *window);

    // The shortcut clicks the button while it is enabled, and the button's
    // tooltip names it whatever else the window says there.
    void Add(QPushButton *button, const QKeySequence &keys);
    // Space presses a focused button or selects a focused choice, as
    // everywhere; only elsewhere does it start the preview.
    void WatchButtons();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AppendShortcut(QPushButton *button);

    QWidget *mWindow;
    QHash<QPushButton *, QKeySequence> mShortcuts;
};
