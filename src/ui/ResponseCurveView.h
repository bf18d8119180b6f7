// Shows both channels' actual response with the slider positions on it.
#pragma once

#include "core/equalizer/ChannelPlan.h"
#include "dsp/ChannelResponse.h"
#include "dsp/EqualizerSettings.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <optional>

class ResponseCurveView : public QWidget
{
    Q_OBJECT

public:
    using Gains = std::array<double, EqualizerSettings::BandCount>;

    explicit ResponseCurveView(QWidget *parent = nullptr);

    // Both channels at the source's rate (0: none open, drawn at 48 kHz).
    // Solved "as drawn" gains, when given, are what the channel's chain
    // applies; the points stay at the slider positions.
    void SetChannels(const EqualizerSettings &settings, int sampleRate, const Gains *solvedLeft = nullptr,
                     const Gains *solvedRight = nullptr);
    // One channel after the model announced a change to it; a new rate
    // redraws the other channel too.
    void SetChannel(const EqualizerSettings &settings, int channel, int sampleRate, const Gains *solved = nullptr);
    // A channel as the main window's planner worked it out: solved gains,
    // pre-gain and curve as they are, nothing evaluated again.
    void ShowPlan(int channel, int sampleRate, const ChannelPlan &plan);

    // "Left peak +13.4 dB", "Right channel silent".
    QString PeakText(int channel) const;
    // "Left curve off the sliders by up to 12.4 dB".
    QString DeviationText(int channel) const;

    // Blue for the left channel, red for the right.
    static QColor ChannelColour(int channel);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct ChannelCurve
    {
        ChannelResponse::Chain chain;
        ChannelResponse::Curve curve;
        Gains sliderDb{};
        std::optional<Gains> solved;
        double deviationDb = 0;
    };

    void Evaluate(int channel);
    void Announce();

    EqualizerSettings mSettings;
    int mSampleRate = 0;
    std::array<ChannelCurve, EqualizerSettings::ChannelCount> mChannels;
};
