// Placeholder until this window is built.
#pragma once

#include <QWidget>

class Form1;
class QTimer;

class Form2 : public QWidget
{
    Q_OBJECT

public:
    // The loaded instance, or nullptr; loading runs the window's load step.
    static Form2 *Loaded();
    static Form2 *Load(Form1 *owner);
    static void UnloadIfLoaded();

    QTimer *Timer1 = nullptr; // start timer: its first tick runs the inspection
    QTimer *Timer2 = nullptr; // closes the window after the split

private:
    explicit Form2(Form1 *owner);
};
