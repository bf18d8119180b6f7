// The one way to the dialogs that ask for one item of a list (which
// listener of an audiogram file), so tests can answer them.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QInputDialog;
class QWidget;

struct ChoiceRequest
{
    QString objectName;
    QString title;
    QString label;
    QStringList items; // shown in this order, the first selected
};

// Shows the dialog (window-modal) and returns at once, so nothing waits in
// the handler that asked for it; `chosen` gets the item once the user
// accepts, never when he cancels.
void ShowChoiceDialog(QWidget *parent, const ChoiceRequest &request, std::function<void(const QString &item)> chosen);

using ChoiceAnswer = std::function<QString(const ChoiceRequest &)>;

// Replaces the real dialog until called again with an empty function; its
// answer (empty: cancelled) is given at once.
void SetChoiceAnswer(ChoiceAnswer answer);

// Called with the real dialog, fully set up, just before it opens.
using ChoiceWatcher = std::function<void(QInputDialog &)>;
void SetChoiceWatcher(ChoiceWatcher watcher);
