// Undo and redo of the settings from the main window.
#include "ui/form1/Form1.h"

#include <QShortcut>
#include <QSlider>

void Form1::SetUpUndo()
{
    mSession.StartHistory();

    auto *undo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), this);
    connect(undo, &QShortcut::activated, this, &Form1::UndoSettings);
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}) {
        auto *redo = new QShortcut(keys, this);
        connect(redo, &QShortcut::activated, this, &Form1::RedoSettings);
    }

    // A drag passes many positions; undo takes it back in one step.
    QList<QSlider *> sliders = LeftChanelSlider + RightChanelSlider;
    sliders << Slider1[0] << Slider1[1] << Slider2;
    for (QSlider *slider : std::as_const(sliders)) {
        connect(slider, &QSlider::sliderPressed, &mSession, &Session::BeginGesture);
        connect(slider, &QSlider::sliderReleased, &mSession, &Session::EndGesture);
    }
}

void Form1::UndoSettings()
{
    mSession.Undo();
}

void Form1::RedoSettings()
{
    mSession.Redo();
}
