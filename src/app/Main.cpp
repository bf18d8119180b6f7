#include "app/Main.h"

#include "core/system/AppFolder.h"
#include "core/system/JobPaths.h"
#include "ui/Colours.h"
#include "ui/form1/Form1.h"
#include "session/Session.h"
#include "ui/SliderToolTip.h"
#include "ui/Form2.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

namespace {

// What start-up does once the band panels show.
void Started(Form1 *form)
{
    PrepareWorkspace();

    SetSliderToolTip(form->LeftChanelSlider[0], 0);
    SetSliderToolTip(form->RightChanelSlider[0], 0);
    SetSliderToolTip(form->Slider1[0], 0);
    SetSliderToolTip(form->Slider1[1], 0);
    SetSliderToolTip(form->Slider2, 0);

    // -4 is the position of volume 1, and each chain box shows its level
    // until its chain is first built. The model starts at -4 as well, so
    // moving one slider there would set the other one quietly and leave its
    // box empty: each channel is set in turn.
    for (int channel = 0; channel < form->Slider1.size(); ++channel)
        form->SetOutputLevel(channel, -4);

    form->setWindowTitle(QStringLiteral("Brenvox"));

    // A resize: lays the window out.
    form->SetHeightTwips(Form1::StartHeightTwips);

    form->Picture2->hide();

    SetBackColour(form->Label17[0], LampOnColour);
    SetBackColour(form->Label17[1], LampOffColour);
    SetBackColour(form->Label17[2], LampOffColour);

    // Loading the inspection window sets the channel paths; its start timer
    // must not start a probe now.
    form->OpenInspectionWindow()->Timer1->stop();

    form->ArrangeMainWindow();
    form->CheckTools();
    form->SetUpUndo();
}

} // namespace

Form1 *Main(Session &shared, std::function<void(Form1 *)> started)
{
    // The design caption is "Loading..." and "Left Only" is selected.
    Form1 *form = new Form1(shared);
    form->setAttribute(Qt::WA_DeleteOnClose);

    form->SetHeightTwips(Form1::StartHeightTwips - 10);
    form->hide();

    form->Picture1[2]->hide();
    form->Picture1[3]->hide();
    form->Picture1[4]->hide();
    form->HScroll1->hide();
    // Settings wait until the window is ready: the curve panel and its
    // check boxes hide with the band panels, and "Presets" waits too.
    form->PresetsButton->setEnabled(false);

    // Shows the window; the band panels follow after the loading pause, while
    // the user may close it.
    form->BuildBandPanels([form, started = std::move(started)] {
        Started(form);
        if (started)
            started(form);
    });
    return form;
}
