#include "core/equalizer/SettingsHistory.h"

#include "core/equalizer/EqualizerModel.h"

SettingsHistory::SettingsHistory(EqualizerModel *model, QObject *parent, int limit)
    : QObject(parent)
    , mModel(model)
    , mLimit(limit > 0 ? limit : DefaultLimit)
    , mCommitted(model->Settings())
{
    // One outermost change may announce both channels and the options; the
    // first announcement records the step, the others find nothing new.
    connect(mModel, &EqualizerModel::channelChanged, this, &SettingsHistory::Follow);
    connect(mModel, &EqualizerModel::optionsChanged, this, &SettingsHistory::Follow);
}

bool SettingsHistory::CanUndo() const
{
    return !mUndo.empty();
}

bool SettingsHistory::CanRedo() const
{
    return !mRedo.empty();
}

void SettingsHistory::Follow()
{
    if (mApplying || mGestureDepth > 0)
        return;
    const EqualizerSettings &now = mModel->Settings();
    if (now == mCommitted)
        return;
    mUndo.push_back(mCommitted);
    if (int(mUndo.size()) > mLimit)
        mUndo.pop_front();
    mRedo.clear();
    mCommitted = now;
    emit availabilityChanged();
}

void SettingsHistory::Apply(std::deque<EqualizerSettings> &from, std::deque<EqualizerSettings> &to)
{
    if (from.empty())
        return;
    // A gesture cut short by the undo ends here: what it changed so far is
    // its step.
    mGestureDepth = 0;
    Follow();
    if (from.empty())
        return;
    to.push_back(mModel->Settings());
    mApplying = true;
    mModel->SetSettings(from.back());
    mApplying = false;
    from.pop_back();
    mCommitted = mModel->Settings();
    emit availabilityChanged();
}

void SettingsHistory::Undo()
{
    Apply(mUndo, mRedo);
}

void SettingsHistory::Redo()
{
    Apply(mRedo, mUndo);
}

void SettingsHistory::BeginGesture()
{
    ++mGestureDepth;
}

void SettingsHistory::EndGesture()
{
    if (mGestureDepth == 0)
        return;
    if (--mGestureDepth == 0)
        Follow();
}

void SettingsHistory::Rebase()
{
    if (mGestureDepth == 0)
        mCommitted = mModel->Settings();
}

void SettingsHistory::Clear()
{
    mUndo.clear();
    mRedo.clear();
    mCommitted = mModel->Settings();
    emit availabilityChanged();
}
