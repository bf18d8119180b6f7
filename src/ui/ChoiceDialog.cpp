#include "ui/ChoiceDialog.h"

#include <QInputDialog>

namespace {

ChoiceAnswer &Answer()
{
    static ChoiceAnswer answer;
    return answer;
}

ChoiceWatcher &Watcher()
{
    static ChoiceWatcher watcher;
    return watcher;
}

} // namespace

void ShowChoiceDialog(QWidget *parent, const ChoiceRequest &request, std::function<void(const QString &item)> chosen)
{
    if (Answer()) {
        const QString item = Answer()(request);
        if (!item.isEmpty())
            chosen(item);
        return;
    }
    auto *dialog = new QInputDialog(parent);
    dialog->setObjectName(request.objectName);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(request.title);
    dialog->setLabelText(request.label);
    dialog->setComboBoxItems(request.items);
    dialog->setComboBoxEditable(false);
    dialog->setTextValue(request.items.value(0));
    QObject::connect(dialog, &QInputDialog::textValueSelected, dialog,
                     [chosen = std::move(chosen)](const QString &item) { chosen(item); });
    if (Watcher())
        Watcher()(*dialog);
    // open(), not exec(): no event loop of its own inside the caller.
    dialog->open();
}

void SetChoiceAnswer(ChoiceAnswer answer)
{
    Answer() = std::move(answer);
}

void SetChoiceWatcher(ChoiceWatcher watcher)
{
    Watcher() = std::move(watcher);
}
