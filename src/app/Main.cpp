#include "app/Main.h"

#include "core/system/AppFolder.h"
#include "session/Session.h"
#include "ui/ImportWindow.h"
#include "ui/mainwindow/MainWindow.h"

MainWindow *Main(Session &shared, std::function<void(MainWindow *)> started)
{
    // The design caption is "Loading..." and "Left Only" is selected.
    auto *form = new MainWindow(shared);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->SetHeightTwips(MainWindow::StartHeightTwips - 10);
    form->hide();
    form->HideUntilBuilt();

    // Shows the window; the band panels follow after the loading pause, while
    // the user may close it.
    form->BuildBandPanels([form, started = std::move(started)] {
        PrepareWorkspace();
        form->FinishStartUp();
        // The import window is made at start-up, hidden; its
        // start timer must not start a probe now.
        form->OpenImportWindow()->Timer1->stop();
        if (started)
            started(form);
    });
    return form;
}
