// The options panel: output levels, EQ range, low cut, bandwidth and the
// preview channel.
#include "ui/Colours.h"
#include "ui/form1/Form1.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

QString BandwidthReadout(int position)
{
    return QStringLiteral(" Bandwidth %1 hz").arg(position, 3, 10, QLatin1Char('0'));
}

} // namespace

QString Form1::BandwidthText(int position)
{
    return position == 1 ? QStringLiteral("1 octave") : QStringLiteral("%1 octaves").arg(position);
}

void Form1::ConnectOptionsPanel()
{
    for (int index = 0; index < Slider1.size(); ++index)
        connect(Slider1[index], &QSlider::valueChanged, this, [this, index] { Slider1_Change(index); });
    connect(Slider2, &QSlider::valueChanged, this, [this] { Slider2_Change(); });

    // A choice reacts when it becomes selected; clicking the selected one
    // again changes nothing (it would otherwise flatten every band).
    const auto connectChoices = [this](const QVector<QRadioButton *> &choices, void (Form1::*click)(int)) {
        for (int index = 0; index < choices.size(); ++index) {
            connect(choices[index], &QRadioButton::toggled, this, [this, click, index](bool selected) {
                if (selected)
                    (this->*click)(index);
            });
        }
    };
    connectChoices(Option1, &Form1::Option1_Click);
    connectChoices(Option2, &Form1::Option2_Click);
    connectChoices(Option3, &Form1::Option3_Click);
    connectChoices(Option4, &Form1::Option4_Click);
}

void Form1::Slider1_Change(int index)
{
    if (index < 0 || index >= Slider1.size())
        return;
    SetOutputLevel(index, qint16(Slider1[index]->value()));
}

void Form1::SetOutputLevel(int channel, qint16 position)
{
    mSession.SetLevelPosition(channel, position);
}

void Form1::Slider2_Change()
{
    mSession.SetBandwidth(Slider2->value());
}

void Form1::Option1_Click(int index)
{
    if (index == 0 || index == 1)
        mSession.SetRange(index == 0 ? EqualizerSettings::WideRange : EqualizerSettings::NarrowRange);
}

void Form1::Option2_Click(int index)
{
    mSession.SetLowCut(index != 0);
}

void Form1::ShowOptions(const EqualizerSettings &settings)
{
    const auto choose = [](const QVector<QRadioButton *> &choices, const QVector<QLabel *> &lamps, int index) {
        if (index < choices.size() && !choices[index]->isChecked()) {
            const QSignalBlocker blocker(choices[index]);
            choices[index]->setChecked(true);
        }
        SetLamps(lamps, index);
    };
    choose(Option1, Label15, settings.range == EqualizerSettings::WideRange ? 0 : 1);
    choose(Option2, Label16, settings.lowCut ? 1 : 0);
    choose(Option4, Label19, settings.sync ? 1 : 0);
    {
        const QSignalBlocker blocker(Slider2);
        Slider2->setValue(settings.bandwidth);
    }
    Label14->setText(BandwidthReadout(settings.bandwidth));
    const QString tip = QStringLiteral("Every band is %1 wide (the readout's \"hz\" are octaves)")
                            .arg(BandwidthText(settings.bandwidth));
    Label14->setToolTip(tip);
    Slider2->setToolTip(tip);
    for (const auto &[box, on] : {std::pair{AvoidClippingBox, settings.avoidClipping},
                                   std::pair{AsDrawnBox, settings.asDrawn}}) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    }

    if (settings.range == mShown.range)
        return;
    // A new range places every slider anew, also one placed without its
    // scroll handling.
    const int ticks = settings.range == EqualizerSettings::WideRange ? 2 : 1;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        const QVector<QSlider *> &sliders = channel == EqualizerSettings::Left ? LeftChanelSlider : RightChanelSlider;
        for (int band = 0; band < sliders.size(); ++band) {
            const QSignalBlocker blocker(sliders[band]);
            sliders[band]->setRange(-settings.range, settings.range);
            sliders[band]->setValue(-settings.channels[channel].gains[band]);
            sliders[band]->setTickInterval(ticks);
        }
    }
}

void Form1::Option3_Click(int index)
{
    // A preview of the former choice ends with it; the next one makes a
    // runner of its own.
    StopPreview();
    mSession.SetPreviewChannel(index);
    SetLamps(Label17, index);
}
