// Closing the main window ends Brenvox: every tool stops, every window
// closes, and an export cut short leaves no partial file behind.
#include "app/Form1.h"

#include "export/Form3.h"
#include "import/Form2.h"
#include "preview/Form4.h"
#include "process/DOSOutputs.h"

#include <QCoreApplication>

void Form1::CleanUnload()
{
    // close() below comes back here through closeEvent.
    static bool unloading = false;
    if (unloading)
        return;
    unloading = true;

    if (objDOS)
        objDOS->Stop();
    // Each window stops its own tool as it closes; Form3 also removes an
    // output file whose export has not completed.
    Form3::UnloadIfLoaded();
    Form2::UnloadIfLoaded();
    Form4::UnloadIfLoaded();
    close();
    // Nothing is asked, not even while an export runs.
    QCoreApplication::quit();

    unloading = false;
}
