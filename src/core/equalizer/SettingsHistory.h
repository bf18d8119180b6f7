// Undo and redo of every settings change, as whole settings values.
#pragma once

#include "dsp/EqualizerSettings.h"

#include <QObject>

#include <deque>

class EqualizerModel;

class SettingsHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultLimit = 200;

    // Follows the model from its present settings on; each outermost change
    // of the model becomes one step, the oldest dropped beyond 'limit'. The
    // model must outlive the history.
    explicit SettingsHistory(EqualizerModel *model, QObject *parent = nullptr, int limit = DefaultLimit);

    bool CanUndo() const;
    bool CanRedo() const;
    // Sets the model to the settings before the last step (or after the
    // step last undone). Only settings change: nothing is run again.
    void Undo();
    void Redo();

    // The changes between the two calls make one step, such as a slider
    // dragged from one position to another. Nested calls count once.
    void BeginGesture();
    void EndGesture();

    // Forgets every step.
    void Clear();
    // Takes the present settings as they are, without a step: for changes
    // the user did not make, such as the import applying every band.
    void Rebase();

signals:
    void availabilityChanged();

private:
    void Follow();
    void Apply(std::deque<EqualizerSettings> &from, std::deque<EqualizerSettings> &to);

    EqualizerModel *mModel;
    int mLimit;
    EqualizerSettings mCommitted;
    std::deque<EqualizerSettings> mUndo;
    std::deque<EqualizerSettings> mRedo;
    int mGestureDepth = 0;
    bool mApplying = false;
};
