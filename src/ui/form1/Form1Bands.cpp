// Band sliders, the left chanel sync and Reset: the handlers write to the
// equalizer model, and the window follows it.
#include "ui/form1/Form1.h"

#include "ui/Colours.h"
#include "session/SharedState.h"
#include "ui/Twips.h"
#include "core/equalizer/ChannelPlan.h"
#include "core/equalizer/OutputLevel.h"
#include "core/equalizer/SettingsHistory.h"
#include "ui/Form3.h"
#include "ui/Form2.h"
#include "ui/Form4.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include <utility>

namespace {

// A band's readout: "+5" a boost, "-5" a cut, "-0" the centre.
QString BandReadout(int gain)
{
    return gain > 0 ? QLatin1Char('+') + QString::number(gain) : QLatin1Char('-') + QString::number(-gain);
}

BandGains GainTexts(const EqualizerSettings &settings, int channel)
{
    BandGains texts;
    for (int band = 0; band < BandTable::BandCount; ++band)
        texts[band] = QString::fromStdString(settings.GainText(channel, band));
    return texts;
}

} // namespace

void Form1::ConnectBandSlider(QSlider *slider, bool left, int index)
{
    // Only the user's moves: the code sets positions itself as it follows
    // the model, and a value-changed connection would write them back.
    connect(slider, &QSlider::actionTriggered, this, [this, left, index] {
        if (left)
            LeftChanelSlider_Scroll(index);
        else
            RightChanelSlider_Scroll(index);
    });
}

void Form1::LeftChanelSlider_Scroll(int index)
{
    if (index < 0 || index >= LeftChanelSlider.size())
        return;
    // sliderPosition(): while an action is handled, value() still lags.
    SetLeftBandGain(index, qint16(LeftChanelSlider[index]->sliderPosition()));
}

void Form1::RightChanelSlider_Scroll(int index)
{
    if (index < 0 || index >= RightChanelSlider.size())
        return;
    SetRightBandGain(index, qint16(RightChanelSlider[index]->sliderPosition()));
}

void Form1::SetLeftBandGain(int band, qint16 sliderValue)
{
    EqualizerModel::Batch batch(&Equalizer());
    RebuildChainAfterwards(EqualizerSettings::Left);
    // With sync on the model copies the left bands to the right.
    if (Equalizer().Settings().sync)
        RebuildChainAfterwards(EqualizerSettings::Right);
    Equalizer().SetBandSliderPosition(EqualizerSettings::Left, band, sliderValue);
}

void Form1::SetRightBandGain(int band, qint16 sliderValue)
{
    EqualizerModel::Batch batch(&Equalizer());
    RebuildChainAfterwards(EqualizerSettings::Right);
    Equalizer().SetBandSliderPosition(EqualizerSettings::Right, band, sliderValue);
}

void Form1::CopyLeftBandsToRight()
{
    EqualizerModel::Batch batch(&Equalizer());
    RebuildChainAfterwards(EqualizerSettings::Right);
    Equalizer().CopyLeftBandsToRight();
}

void Form1::ReapplyAllBands()
{
    // The sliders, not the model: a position placed without its scroll
    // handling counts from here on, as the import's end promises.
    EqualizerModel &model = Equalizer();
    EqualizerModel::Batch batch(&model);
    RebuildChainAfterwards(EqualizerSettings::Left);
    RebuildChainAfterwards(EqualizerSettings::Right);
    for (int band = 0; band < LeftChanelSlider.size(); ++band)
        model.SetBandSliderPosition(EqualizerSettings::Left, band, LeftChanelSlider[band]->sliderPosition());
    // With sync on, the left moves have made the right panel a copy.
    if (model.Settings().sync)
        return;
    for (int band = 0; band < RightChanelSlider.size(); ++band)
        model.SetBandSliderPosition(EqualizerSettings::Right, band, RightChanelSlider[band]->sliderPosition());
}

void Form1::Option4_Click(int index)
{
    // Both choices copy: "OFF" copies the left panel once more.
    EqualizerModel::Batch batch(&Equalizer());
    CopyLeftBandsToRight();
    Equalizer().SetSync(index != 0);
}

void Form1::ResetEqualizer()
{
    // Reset passes the settings through several values; undo takes it back
    // in one step.
    struct OneStep {
        SettingsHistory *history;
        explicit OneStep(SettingsHistory *h) : history(h) { if (history) history->BeginGesture(); }
        ~OneStep() { if (history) history->EndGesture(); }
    } oneStep(History);

    Form4::UnloadIfLoaded();
    Form3::UnloadIfLoaded();
    Form2::UnloadIfLoaded();

    Text1->clear();
    {
        const QSignalBlocker blocker(Option3[0]);
        Option3[0]->setChecked(true);
    }
    Option3_Click(0);

    // A slider placed without its scroll handling goes back to the centre
    // too, though the model never saw it leave.
    for (QSlider *slider : LeftChanelSlider + RightChanelSlider) {
        const QSignalBlocker blocker(slider);
        slider->setValue(0);
    }
    // Every band is applied at the centre, so the chains read "-0"; then the
    // gain texts return to start-up's "0" and the chains stay as built.
    EqualizerSettings centred;
    for (ChannelSettings &channel : centred.channels)
        channel.moved.fill(true);
    {
        EqualizerModel::Batch batch(&Equalizer());
        RebuildChainAfterwards(EqualizerSettings::Left);
        RebuildChainAfterwards(EqualizerSettings::Right);
        Equalizer().SetSettings(centred);
    }
    Equalizer().SetSettings(EqualizerSettings());

    Shared().ResetEqualizerState();
}

void Form1::RebuildChainAfterwards(int channel)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    mChainFollow[channel].rebuild = true;
    mChainFollow[channel].showChain = true;
    mChainFollow[channel].showLevel = false;
    Equalizer().Announce(channel);
}

void Form1::ShowLevelAfterwards(int channel)
{
    if (!EqualizerSettings::IsChannel(channel))
        return;
    mChainFollow[channel].showChain = false;
    mChainFollow[channel].showLevel = true;
    Equalizer().Announce(channel);
}

void Form1::FollowModel()
{
    const EqualizerSettings &settings = Equalizer().Settings();
    // An operation announces up to three times (each channel, the options);
    // the first shows everything.
    const auto asked = [](const ChainFollow &follow) { return follow.showChain || follow.showLevel; };
    if (settings == mShown && !asked(mChainFollow[0]) && !asked(mChainFollow[1]))
        return;
    SharedState &shared = Shared();
    // First: the chains read them, and the sliders' range must hold the gains.
    ShowOptions(settings);
    shared.LowCutEnabled = settings.lowCut;
    shared.Bandwidth = settings.bandwidth;
    if (settings.bandwidth != mShown.bandwidth)
        ShowBandwidthBands();
    const std::array<bool, EqualizerSettings::ChannelCount> planChanged = FollowPlans(settings);
    const bool planned = settings.asDrawn || settings.avoidClipping;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const bool left = channel == EqualizerSettings::Left;
        ShowBands(channel, settings);
        BandGains &gains = left ? shared.LeftBandGain : shared.RightBandGain;
        gains = GainTexts(settings, channel);

        const OutputLevel level = OutputLevelFromPosition(qint16(settings.channels[channel].levelPosition));
        (left ? shared.LeftVolume : shared.RightVolume) = level.level;
        if (channel < Slider1.size()) {
            const QSignalBlocker blocker(Slider1[channel]);
            Slider1[channel]->setValue(settings.channels[channel].levelPosition);
        }
        if (channel < Label9.size())
            SetAutoSizeText(Label9[channel], level.readout);

        const ChainFollow follow = std::exchange(mChainFollow[channel], ChainFollow());
        QString &chain = left ? shared.LeftFilterChain : shared.RightFilterChain;
        // With an option on, the chain follows every change of what it
        // applies, so the export never takes solved gains or a pre-gain
        // made for other settings.
        const bool rebuild = follow.rebuild || (planChanged[channel] && (planned || mChainPlanned[channel]));
        if (rebuild) {
            chain = ChannelPlanText::ChainText(shared, gains, mPlanner->Plan(channel));
            mChainPlanned[channel] = planned;
        }
        const bool showChain = follow.showChain || (rebuild && !follow.showLevel);
        QPlainTextEdit *box = left ? Text2 : Text3;
        const QString boxText = follow.showLevel ? level.displayText : chain;
        if ((follow.showLevel || showChain) && box->toPlainText() != boxText)
            box->setPlainText(boxText);
    }
    mShown = settings;
    ShowResponseTexts();
}

void Form1::ShowBands(int channel, const EqualizerSettings &settings)
{
    const bool left = channel == EqualizerSettings::Left;
    const QVector<QSlider *> &sliders = left ? LeftChanelSlider : RightChanelSlider;
    const QVector<QLabel *> &readouts = left ? Label2 : Label6;
    const ChannelSettings &now = settings.channels[channel];
    const ChannelSettings &shown = mShown.channels[channel];
    for (int band = 0; band < sliders.size() && band < readouts.size(); ++band) {
        if (now.gains[band] == shown.gains[band] && now.moved[band] == shown.moved[band])
            continue;
        {
            const QSignalBlocker blocker(sliders[band]);
            sliders[band]->setValue(-now.gains[band]);
        }
        // "00" stands under a band until it is first applied; once applied,
        // even a band back to start-up's never-moved state reads "-0".
        if (now.moved[band] || readouts[band]->text() != QLatin1String("00"))
            SetAutoSizeText(readouts[band], BandReadout(now.gains[band]));
    }
}
