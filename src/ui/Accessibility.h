// What screen readers are told about Brenvox's windows and sliders beyond
// what Qt's own accessibility reports.
#pragma once

#include <QString>

class QAbstractButton;
class QMenu;
class QSlider;
class QWidget;

// What a slider's position means to the user: the number a screen reader
// reads (position times perStep, so a boost is positive although its
// position is negative) and the text it speaks.
struct SliderMeaning
{
    double perStep = 1.0;
    QString (*valueText)(int position) = nullptr;
};

// Gives the slider that meaning for as long as it lives.
void SetSliderMeaning(QSlider *slider, const SliderMeaning &meaning);

// Reports the button as one that opens the menu, with the open menu as its
// child.
void SetMenuOfButton(QAbstractButton *button, QMenu *menu);

// Reports a panel as a group of controls under this name.
void NameGroup(QWidget *group, const QString &name);

// Reports the main window and the progress windows as windows, the progress
// window that has no title under a name saying what it does. Called once,
// before a progress window is made.
void InstallAccessibility(QWidget *mainWindow);
