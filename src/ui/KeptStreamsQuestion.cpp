#include "ui/KeptStreamsQuestion.h"

#include "session/Session.h"
#include "ui/ChoiceDialog.h"

void AskBeforeLeavingOut(QWidget *parent, const Session &session, const QString &outputFile,
                         std::function<void()> goOn)
{
    const QString notice = session.KeptFor(outputFile).notice;
    if (notice.isEmpty())
        return goOn();
    ChoiceRequest request;
    request.objectName = QStringLiteral("KeptStreamsQuestion");
    request.title = QStringLiteral("Save As");
    request.label = notice;
    request.items = {QStringLiteral("Save")};
    ShowChoiceDialog(parent, request, [goOn = std::move(goOn)](const QString &) { goOn(); });
}
