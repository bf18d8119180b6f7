// Finding Brenvox's windows and their controls as a user does: by what is on
// the screen and by the names the design gives them.
#pragma once

#include <QApplication>
#include <QSlider>
#include <QString>
#include <QVector>
#include <QWidget>

// The control `name` in `window`; a test that names a missing one is wrong.
// The window may be given as any pointer to it.
template<class W, class Window>
W *Control(const Window &window, const QString &name)
{
    W *widget = (&*window)->template findChild<W *>(name);
    if (!widget)
        qFatal("No %s in the window", qPrintable(name));
    return widget;
}

// One of a row of controls, which the design names "name_index".
template<class W, class Window>
W *Control(const Window &window, const QString &name, int index)
{
    return Control<W>(window, name + QLatin1Char('_') + QString::number(index));
}

// The whole row, from index 0 to the first index missing.
template<class W, class Window>
QVector<W *> Controls(const Window &window, const QString &name)
{
    QVector<W *> row;
    while (W *widget = (&*window)->template findChild<W *>(name + QLatin1Char('_') + QString::number(row.size())))
        row.append(widget);
    return row;
}

// Places the slider as the user's drag does, even at the position it has:
// the move counts as the user's.
inline void SetByUser(QSlider *slider, int position)
{
    slider->setValue(position);
    slider->triggerAction(QAbstractSlider::SliderMove);
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
