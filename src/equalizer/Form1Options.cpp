// The options panel: output levels, EQ range, low cut, bandwidth and the
// preview channel.
#include "app/Colours.h"
#include "app/Form1.h"
#include "app/SharedState.h"
#include "app/Twips.h"
#include "equalizer/OutputLevel.h"
#include "process/DOSOutputs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>

namespace {

QString BandwidthReadout(int position)
{
    return QStringLiteral(" Bandwidth %1 hz").arg(position, 3, 10, QLatin1Char('0'));
}

} // namespace

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
    DisplayBatch batch(this);
    const OutputLevel level = OutputLevelFromPosition(position);
    if (channel >= 0 && channel < Label9.size())
        SetAutoSizeText(Label9[channel], level.readout);
    // The box shows the level until the channel's chain is next rebuilt.
    if (channel == 0) {
        SetDisplayBoxText(Text2, level.displayText);
        Shared().LeftVolume = level.level;
    } else if (channel == 1) {
        SetDisplayBoxText(Text3, level.displayText);
        Shared().RightVolume = level.level;
    }
}

void Form1::Slider2_Change()
{
    Shared().Bandwidth = Slider2->value();
    Label14->setText(BandwidthReadout(Slider2->value()));
}

void Form1::SetEqRange(int choice)
{
    if (choice != 0 && choice != 1)
        return;
    const int limit = choice == 0 ? 12 : 6;
    const int ticks = choice == 0 ? 2 : 1;
    for (int band = 0; band < LeftChanelSlider.size() && band < RightChanelSlider.size(); ++band) {
        for (QSlider *slider : {LeftChanelSlider[band], RightChanelSlider[band]}) {
            slider->setMaximum(limit);
            slider->setMinimum(-limit);
            slider->setValue(0);
            slider->setTickInterval(ticks);
        }
    }
}

void Form1::Option1_Click(int index)
{
    DisplayBatch batch(this);
    SetEqRange(index);
    SetLamps(Label15, index);
    // Straight to the gains: the sync does not run here.
    for (int band = 0; band < BandTable::BandCount; ++band) {
        SetLeftBandGain(band, 0);
        SetRightBandGain(band, 0);
    }
}

void Form1::Option2_Click(int index)
{
    DisplayBatch batch(this);
    Shared().LowCutEnabled = index != 0;
    SetLamps(Label16, index);
    SetDisplayBoxText(Text2, QString());
    SetDisplayBoxText(Text3, QString());
    ReapplyAllBands();
}

void Form1::Option3_Click(int index)
{
    // A preview of the former choice ends with it; the next one makes a
    // runner of its own.
    StopPreview();
    Shared().PreviewChannel = qint16(index);
    SetLamps(Label17, index);
}
