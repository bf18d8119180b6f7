// Applies setting changes and announces them once per outermost operation.
#include "core/equalizer/EqualizerModel.h"

#include "core/equalizer/BandTable.h"

#include <algorithm>
#include <utility>

static_assert(EqualizerSettings::BandCount == BandTable::BandCount,
              "the settings hold one gain per band of the table");

namespace {

bool SameOptions(const EqualizerSettings &a, const EqualizerSettings &b)
{
    return a.range == b.range && a.lowCut == b.lowCut && a.bandwidth == b.bandwidth && a.sync == b.sync
        && a.avoidClipping == b.avoidClipping && a.asDrawn == b.asDrawn;
}

void CopyLeftToRight(EqualizerSettings &settings)
{
    ChannelSettings &right = settings.channels[EqualizerSettings::Right];
    right.gains = settings.channels[EqualizerSettings::Left].gains;
    right.moved.fill(true);
}

} // namespace

EqualizerModel::Batch::Batch(EqualizerModel *model)
    : mModel(model)
{
    ++mModel->mBatchDepth;
}

EqualizerModel::Batch::~Batch()
{
    mModel->EndBatch();
}

EqualizerModel::EqualizerModel(QObject *parent)
    : QObject(parent)
{
}

void EqualizerModel::EndBatch()
{
    if (--mBatchDepth > 0)
        return;
    // A slot may change the model again; that starts a batch of its own.
    const auto channels = std::exchange(mChannelPending, {});
    const bool options = std::exchange(mOptionsPending, false);
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        if (channels[channel])
            emit channelChanged(channel);
    }
    if (options)
        emit optionsChanged();
}

void EqualizerModel::Change(const EqualizerSettings &next)
{
    Batch batch(this);
    const bool chainsShared = next.lowCut != mSettings.lowCut || next.bandwidth != mSettings.bandwidth
        || next.avoidClipping != mSettings.avoidClipping || next.asDrawn != mSettings.asDrawn;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        if (chainsShared || next.channels[channel] != mSettings.channels[channel])
            mChannelPending[channel] = true;
    }
    if (!SameOptions(next, mSettings))
        mOptionsPending = true;
    mSettings = next;
}

bool EqualizerModel::SetSettings(const EqualizerSettings &settings)
{
    if (!settings.Problem().empty())
        return false;
    Change(settings);
    return true;
}

void EqualizerModel::SetGain(int channel, int band, int gainDb)
{
    if (!EqualizerSettings::IsChannel(channel) || !EqualizerSettings::IsBand(band))
        return;
    EqualizerSettings next = mSettings;
    next.channels[channel].gains[band] = std::clamp(gainDb, -next.range, next.range);
    next.channels[channel].moved[band] = true;
    if (channel == EqualizerSettings::Left && next.sync)
        CopyLeftToRight(next);
    Change(next);
}

void EqualizerModel::SetBandSliderPosition(int channel, int band, int position)
{
    SetGain(channel, band, -position);
}

void EqualizerModel::SetLevelPosition(int channel, int position)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    EqualizerSettings next = mSettings;
    next.channels[channel].levelPosition = std::clamp(position, int(EqualizerSettings::LevelPositionMinimum),
                                                      int(EqualizerSettings::LevelPositionMaximum));
    Change(next);
}

void EqualizerModel::SetPreamp(int channel, int tenths)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    EqualizerSettings next = mSettings;
    next.channels[channel].preampTenths = std::clamp(tenths, int(EqualizerSettings::PreampTenthsMinimum),
                                                     int(EqualizerSettings::PreampTenthsMaximum));
    Change(next);
}

void EqualizerModel::SetRange(int range)
{
    if ((range != EqualizerSettings::WideRange && range != EqualizerSettings::NarrowRange)
        || range == mSettings.range)
        return;
    EqualizerSettings next = mSettings;
    next.range = range;
    for (ChannelSettings &channel : next.channels) {
        channel.gains.fill(0);
        channel.moved.fill(true);
    }
    Change(next);
}

void EqualizerModel::SetLowCut(bool on)
{
    if (on == mSettings.lowCut)
        return;
    EqualizerSettings next = mSettings;
    next.lowCut = on;
    for (ChannelSettings &channel : next.channels)
        channel.moved.fill(true);
    if (next.sync)
        CopyLeftToRight(next);
    Change(next);
}

void EqualizerModel::SetBandwidth(int bandwidth)
{
    EqualizerSettings next = mSettings;
    next.bandwidth = std::clamp(bandwidth, int(EqualizerSettings::BandwidthMinimum),
                                int(EqualizerSettings::BandwidthMaximum));
    Change(next);
}

void EqualizerModel::SetSync(bool on)
{
    if (on == mSettings.sync)
        return;
    EqualizerSettings next = mSettings;
    next.sync = on;
    CopyLeftToRight(next);
    Change(next);
}

void EqualizerModel::CopyLeftBandsToRight()
{
    EqualizerSettings next = mSettings;
    CopyLeftToRight(next);
    Change(next);
}

void EqualizerModel::SetAvoidClipping(bool on)
{
    EqualizerSettings next = mSettings;
    next.avoidClipping = on;
    Change(next);
}

void EqualizerModel::SetAsDrawn(bool on)
{
    EqualizerSettings next = mSettings;
    next.asDrawn = on;
    Change(next);
}

void EqualizerModel::Announce(int channel)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    Batch batch(this);
    mChannelPending[channel] = true;
}
