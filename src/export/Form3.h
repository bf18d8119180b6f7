// Placeholder until this window is built.
#pragma once

#include <QWidget>

class Form1;

class Form3 : public QWidget
{
    Q_OBJECT

public:
    // The loaded instance, or nullptr; loading runs the window's load step.
    static Form3 *Loaded();
    static Form3 *Load(Form1 *owner);
    static void UnloadIfLoaded();

private:
    explicit Form3(Form1 *owner);
};
