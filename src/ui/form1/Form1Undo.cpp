// Undo and redo of the settings from the main window.
#include "ui/form1/Form1.h"

#include "core/equalizer/SettingsHistory.h"

#include <QShortcut>
#include <QSlider>

void Form1::SetUpUndo()
{
    mSession.StartHistory();
    SettingsHistory *history = mSession.History();

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
        connect(slider, &QSlider::sliderPressed, history, &SettingsHistory::BeginGesture);
        connect(slider, &QSlider::sliderReleased, history, &SettingsHistory::EndGesture);
    }
}

void Form1::UndoSettings()
{
    SettingsHistory *history = mSession.History();
    if (!history || !history->CanUndo())
        return;
    // As a preset load: the controls and both chains as if the user had set
    // each of them.
    EqualizerModel::Batch batch(&mSession.Equalizer());
    mSession.RebuildChains();
    history->Undo();
}

void Form1::RedoSettings()
{
    SettingsHistory *history = mSession.History();
    if (!history || !history->CanRedo())
        return;
    EqualizerModel::Batch batch(&mSession.Equalizer());
    mSession.RebuildChains();
    history->Redo();
}
