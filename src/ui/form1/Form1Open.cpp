// "Open": choosing the source and starting its inspection.
#include "ui/form1/Form1.h"

#include "ui/Form2.h"
#include "ui/OpenSourceDialog.h"
#include "core/system/ShortPath.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

void Form1::OpenSourceFile()
{
    // One inspection at a time: a second one would split into the same
    // channel files while the first still writes them.
    if (SequenceRunning() || !Ready())
        return;

    ShowFileDialog(this, OpenSourceDialogRequest(), [this](const QString &chosen) { OpenSource(chosen); });
}

void Form1::OpenSource(const QString &chosen)
{
    if (SequenceRunning() || !Ready())
        return;
    // A window still showing an earlier failure makes way for a fresh one,
    // whose load step clears the failure from its labels.
    if (InspectionWindow() && InspectionWindow()->Failed())
        CloseInspectionWindow();

    // The session keeps the open source until the new one is imported; the
    // path box shows the choice while it is inspected.
    const QString source = GetShortPath(chosen);
    if (Text1)
        Text1->setText(source);
    Form2 *inspection = OpenInspectionWindow();
    inspection->show();
    inspection->Label1[1]->setText(source);
    inspection->ScheduleInspection(source);
}

void Form1::ShowOpenSource()
{
    if (Text1)
        Text1->setText(mSession.SourceFile());
}
