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

    // A channel as the main window's planner worked it out at the source's
    // rate (0: none open, drawn at 48 kHz): solved gains, pre-gain and curve
    // as they are, nothing evaluated again; the points stay at the slider
    // positions.
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

    void Announce();

    int mSampleRate = 0;
    std::array<ChannelCurve, EqualizerSettings::ChannelCount> mChannels;
};
