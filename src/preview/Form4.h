// Placeholder until this window is built.
#pragma once

#include <QWidget>

class Form1;

class Form4 : public QWidget
{
    Q_OBJECT

public:
    // The loaded instance, or nullptr; loading runs the window's load step.
    static Form4 *Loaded();
    static Form4 *Load(Form1 *owner);
    static void UnloadIfLoaded();

private:
    explicit Form4(Form1 *owner);
};
