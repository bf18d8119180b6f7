// Finding Brenvox's windows and their controls as a user does: by what is on
// the screen and by the names the design gives them.
#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>

// The control `name` in `window`; a test that names a missing one is wrong.
template<class W>
W *Control(QWidget *window, const QString &name)
{
    W *widget = window->findChild<W *>(name);
    if (!widget)
        qFatal("No %s in the window", qPrintable(name));
    return widget;
}

// The open progress window of its kind ("Form2", "Form3", "Form4"), or null;
// one that is closing no longer counts, though it may still be on screen.
template<class W>
W *OpenWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<W *>(widget); window && !window->Closing())
            return window;
    }
    return nullptr;
}
