#include "ui/mainwindow/WindowShortcuts.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

WindowShortcuts::WindowShortcuts(QWidget *window)
    : QObject(window)
    , mWindow(window)
{
}

void WindowShortcuts::Add(QPushButton *button, const QKeySequence &keys)
{
    // A shortcut of the button itself would go with its next text
    // ("Preview" and "Stop" take turns).
    auto *shortcut = new QShortcut(keys, mWindow);
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled())
            button->animateClick();
    });
    mShortcuts.insert(button, keys);
    AppendShortcut(button);
}

void WindowShortcuts::WatchButtons()
{
    for (QAbstractButton *button : mWindow->findChildren<QAbstractButton *>())
        button->installEventFilter(this);
}

bool WindowShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier
            && qobject_cast<QAbstractButton *>(watched)) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::ToolTipChange) {
        if (auto *button = qobject_cast<QPushButton *>(watched))
            AppendShortcut(button);
    }
    return false;
}

// Whatever the window says in a button's tooltip, the shortcut follows.
void WindowShortcuts::AppendShortcut(QPushButton *button)
{
    const auto keys = mShortcuts.constFind(button);
    if (keys == mShortcuts.constEnd())
        return;
    const QString line = QLatin1String("Shortcut: ") + keys->toString(QKeySequence::NativeText);
    const QString tip = button->toolTip();
    if (!tip.endsWith(line))
        button->setToolTip(tip.isEmpty() ? line : tip + QLatin1Char('\n') + line);
}
