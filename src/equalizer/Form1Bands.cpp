// Band sliders, the left chanel sync and Reset.
#include "app/Form1.h"

#include "app/Colours.h"
#include "app/SharedState.h"
#include "app/Twips.h"
#include "export/Form3.h"
#include "import/Form2.h"
#include "preview/Form4.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

void Form1::ConnectBandSlider(QSlider *slider, bool left, int index)
{
    // Only the user's moves: the code sets positions itself and then calls
    // the scroll handling, which a value-changed connection would repeat.
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
    DisplayBatch batch(this);
    // sliderPosition(): while an action is handled, value() still lags.
    SetLeftBandGain(index, qint16(LeftChanelSlider[index]->sliderPosition()));
    if (!Option4[1]->isChecked())
        return;
    if (mSyncDeferred)
        mSyncPending = true;
    else
        CopyLeftBandsToRight();
}

void Form1::RightChanelSlider_Scroll(int index)
{
    if (index < 0 || index >= RightChanelSlider.size())
        return;
    DisplayBatch batch(this);
    SetRightBandGain(index, qint16(RightChanelSlider[index]->sliderPosition()));
}

void Form1::SetLeftBandGain(int band, qint16 sliderValue)
{
    const QString readout = Shared().SetLeftBandGain(band, sliderValue);
    if (band < 0 || band >= Label2.size())
        return;
    SetAutoSizeText(Label2[band], readout);
    SetDisplayBoxText(Text2, Shared().LeftFilterChain);
}

void Form1::SetRightBandGain(int band, qint16 sliderValue)
{
    const QString readout = Shared().SetRightBandGain(band, sliderValue);
    if (band < 0 || band >= Label6.size())
        return;
    SetAutoSizeText(Label6[band], readout);
    SetDisplayBoxText(Text3, Shared().RightFilterChain);
}

void Form1::CopyLeftBandsToRight()
{
    DisplayBatch batch(this);
    for (int band = 0; band < RightChanelSlider.size() && band < LeftChanelSlider.size(); ++band) {
        RightChanelSlider[band]->setValue(LeftChanelSlider[band]->sliderPosition());
        RightChanelSlider_Scroll(band);
    }
}

void Form1::ReapplyAllBands()
{
    // The chain boxes are drawn once and the sync copies once, at the end:
    // a box redrawn per band costs a long text's layout 130 times over.
    DisplayBatch batch(this);
    mSyncDeferred = true;
    mSyncPending = false;
    for (int band = 0; band < LeftChanelSlider.size() && band < RightChanelSlider.size(); ++band) {
        LeftChanelSlider_Scroll(band);
        RightChanelSlider_Scroll(band);
    }
    mSyncDeferred = false;
    if (mSyncPending)
        CopyLeftBandsToRight();
    mSyncPending = false;
}

void Form1::Option4_Click(int index)
{
    DisplayBatch batch(this);
    // Both choices copy: "OFF" copies the left panel once more.
    CopyLeftBandsToRight();
    SetLamps(Label19, index);
}

void Form1::ResetEqualizer()
{
    DisplayBatch batch(this);
    Form4::UnloadIfLoaded();
    Form3::UnloadIfLoaded();
    Form2::UnloadIfLoaded();

    Text1->clear();
    SetDisplayBoxText(Text2, QString());
    SetDisplayBoxText(Text3, QString());

    Slider1[0]->setValue(-4);
    Slider1[1]->setValue(-4);
    Slider2->setValue(1);

    // Selected and handled as a click, also when already selected.
    const auto selectFirst = [](QVector<QRadioButton *> &choices) {
        const QSignalBlocker blocker(choices[0]);
        choices[0]->setChecked(true);
    };
    selectFirst(Option1);
    Option1_Click(0);
    selectFirst(Option2);
    Option2_Click(0);
    selectFirst(Option3);
    Option3_Click(0);
    selectFirst(Option4);
    Option4_Click(0);

    for (int band = 0; band < LeftChanelSlider.size() && band < RightChanelSlider.size(); ++band) {
        RightChanelSlider[band]->setValue(0);
        LeftChanelSlider[band]->setValue(0);
        LeftChanelSlider_Scroll(band);
        RightChanelSlider_Scroll(band);
    }

    Shared().ResetEqualizerState();
}
