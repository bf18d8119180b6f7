// The equalizer settings with change notifications: every view follows it.
#pragma once

#include "dsp/EqualizerSettings.h"

#include <QObject>

#include <array>

class EqualizerModel : public QObject
{
    Q_OBJECT

public:
    // Groups changes: the notifications wait until the outermost batch ends,
    // then each changed channel is announced once.
    class Batch
    {
    public:
        explicit Batch(EqualizerModel *model);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        EqualizerModel *mModel;
    };

    explicit EqualizerModel(QObject *parent = nullptr);

    const EqualizerSettings &Settings() const { return mSettings; }

    // Takes the values as they are; values that fail Problem() are refused
    // and nothing changes. Returns whether they were taken.
    bool SetSettings(const EqualizerSettings &settings);

    // A gain in whole dB, clamped to the range; the band counts as moved.
    // With sync on, a left move copies every left band to the right.
    void SetGain(int channel, int band, int gainDb);
    // The same from a band slider's position (the negated gain).
    void SetBandSliderPosition(int channel, int band, int position);
    void SetLevelPosition(int channel, int position);
    // Tenths of a dB, clamped to -30..12 dB; the sync leaves it alone, as
    // it is each ear's own.
    void SetPreamp(int channel, int tenths);
    // Choosing the option already chosen changes nothing, as on the window.
    // A new range returns every band of both channels to 0, moved: the
    // window flattens them when the range changes.
    void SetRange(int range);
    // The window reapplies every band on a low-cut change, so all become
    // moved, and the sync copies once.
    void SetLowCut(bool on);
    void SetBandwidth(int bandwidth);
    // Turning it on or off copies the left bands to the right, as the
    // window does.
    void SetSync(bool on);
    void CopyLeftBandsToRight();
    void SetAvoidClipping(bool on);
    void SetAsDrawn(bool on);
    // Announces the channel at the end of the batch although nothing in it
    // changed: what views derive from it may also depend on values the model
    // does not hold (the source's sample rate in the chains).
    void Announce(int channel);

signals:
    // Anything in the channel's chain or level changed: its gains, moved
    // states, level, or the low cut and bandwidth that every chain shares.
    void channelChanged(int channel);
    // Range, low cut, bandwidth, sync, "Avoid clipping" or "As drawn" changed.
    void optionsChanged();

private:
    void Change(const EqualizerSettings &next);
    void EndBatch();

    EqualizerSettings mSettings;
    int mBatchDepth = 0;
    std::array<bool, EqualizerSettings::ChannelCount> mChannelPending{};
    bool mOptionsPending = false;
};
