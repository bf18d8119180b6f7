// Band sliders, the left chanel sync and Reset: the handlers call the
// session's operations, and the window shows what the session followed.
#include "ui/form1/Form1.h"

#include "ui/Colours.h"
#include "core/equalizer/OutputLevel.h"
#include "ui/ResponseCurveView.h"
#include "ui/Twips.h"

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
    mSession.SetBandSliderPosition(EqualizerSettings::Left, band, sliderValue);
}

void Form1::SetRightBandGain(int band, qint16 sliderValue)
{
    mSession.SetBandSliderPosition(EqualizerSettings::Right, band, sliderValue);
}

void Form1::Option4_Click(int index)
{
    mSession.SetSync(index != 0);
}

void Form1::ResetEqualizer()
{
    StopPreview();
    CloseExportWindow();
    CloseInspectionWindow();

    // The source stays open through Reset, so the path box keeps naming it.
    ShowOpenSource();
    {
        const QSignalBlocker blocker(Option3[0]);
        Option3[0]->setChecked(true);
    }
    Option3_Click(0);
    mSession.Reset();
}

void Form1::FollowModel(bool leftPlanChanged, bool rightPlanChanged)
{
    const EqualizerSettings &settings = mSession.Settings();
    // First: the sliders' range must hold the gains.
    ShowOptions(settings);
    ShowPreamps(settings);
    if (settings.bandwidth != mShown.bandwidth)
        ShowBandwidthBands();
    const bool planChanged[] = {leftPlanChanged, rightPlanChanged};
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const bool left = channel == EqualizerSettings::Left;
        ShowBands(channel, settings);
        const OutputLevel level = OutputLevelFromPosition(qint16(settings.channels[channel].levelPosition));
        if (channel < Slider1.size()) {
            const QSignalBlocker blocker(Slider1[channel]);
            Slider1[channel]->setValue(settings.channels[channel].levelPosition);
        }
        if (channel < Label9.size())
            SetAutoSizeText(Label9[channel], level.readout);
        QPlainTextEdit *box = left ? Text2 : Text3;
        if (mSession.ChainBoxSet(channel) && box->toPlainText() != mSession.ChainBox(channel))
            box->setPlainText(mSession.ChainBox(channel));
        if (planChanged[channel] && ResponseCurve)
            ResponseCurve->ShowPlan(channel, mSession.SourceSampleRate(), mSession.Plan(channel));
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
