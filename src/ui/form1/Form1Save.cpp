// The main window's "Save As": asks for the output file and opens Form3,
// which runs the export.
#include "ui/FileDialogs.h"
#include "ui/KeptStreamsQuestion.h"
#include "ui/form1/Form1.h"
#include "ui/Form3.h"
#include "core/system/NativePath.h"
#include "core/system/OutputRefusal.h"
#include "core/system/OutputReplacement.h"

#include <QFileInfo>
#include <QLabel>

#include <sys/stat.h>

void Form1::SaveOutputAs()
{
    // The export writes the same channel files as the preview and reads
    // those of the import: one tool sequence at a time.
    if (SequenceRunning())
        return;

    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = QStringLiteral("Save As");
    SetSaveFileTypes(request);
    request.confirmOverwrite = true;

    ShowFileDialog(this, request, [this](const QString &fileName) {
        AskBeforeLeavingOut(this, mSession, fileName, [this, fileName] { ExportTo(fileName); });
    });
}

void Form1::ExportTo(const QString &fileName)
{
    // Another sequence may have started while the dialog was open.
    if (SequenceRunning())
        return;

    // The window of a finished export makes way for the new one.
    CloseExportWindow();

    Session &shared = mSession;
    const QString refusal = OutputRefusal(fileName, {shared.SourceFile()});
    if (!refusal.isEmpty()) {
        shared.SetOutputFile(QString());
        Form3 *form = OpenExportWindow();
        form->RefuseOutput(refusal);
        form->Label1[1]->setText(fileName);
        form->show();
        return;
    }

    // The dialog asked before a file there is replaced; one that appears
    // later was never agreed to.
    struct stat existing = {};
    const bool replaceExisting = ::lstat(NativePath::ToBytes(fileName).constData(), &existing) == 0;
    // Making the private folder beside the target is the check that the
    // export can write there; the target itself is left alone until the
    // result is complete.
    QString problem;
    const auto temporary = OutputReplacement::TemporaryOutput::Create(fileName, &problem);
    shared.SetOutputFile(temporary ? NativePath::Absolute(fileName) : QString());

    Form3 *form = OpenExportWindow();
    if (temporary)
        form->SetTemporaryOutput(temporary, replaceExisting);
    else
        form->RefuseOutput(QStringLiteral("The output file could not be created: ") + problem);
    form->Label1[1]->setText(shared.OutputFile());
    form->show();
}
