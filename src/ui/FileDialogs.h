// The one way to the open and save dialogs, so tests can answer them.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

struct FileDialogRequest
{
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title;
    // Qt name filters made by QtNameFilter(), in the order shown.
    QStringList nameFilters;
    QString selectedNameFilter;
    QString defaultSuffix; // without the dot
    // Per name filter, the suffix a typed name without one gets once that
    // filter is chosen; empty ones keep defaultSuffix.
    QStringList filterSuffixes;
    bool confirmOverwrite = false;
    QString directory; // where the dialog starts; empty for Qt's choice
};

// A dialog entry: the label exactly as the user sees it, and the pattern
// the dialog applies. Qt takes a filter's patterns from its last
// parenthesised group and, with the details hidden, shows what stands before
// it, so the label stays exact whatever its own parentheses say.
QString QtNameFilter(const QString &label, const QString &pattern);

// The save dialog's file types, WAV and MP3 first, then the other common
// formats by name and All Files; a name typed without an extension gets the
// chosen type's (".wav" under All Files).
void SetSaveFileTypes(FileDialogRequest &request);

// Shows the dialog (window-modal) and returns at once, so nothing waits in
// the handler that asked for it; `chosen` gets the path once the user
// accepts, never when he cancels.
void ShowFileDialog(QWidget *parent, const FileDialogRequest &request,
                    std::function<void(const QString &path)> chosen);

using FileDialogAnswer = std::function<QString(const FileDialogRequest &)>;

// Replaces the real dialog until called again with an empty function; its
// answer (empty: cancelled) is given at once.
void SetFileDialogAnswer(FileDialogAnswer answer);

// Called with the real dialog, fully set up, just before it opens; lets a
// test look at what the user is shown and close it.
using FileDialogWatcher = std::function<void(QFileDialog &)>;
void SetFileDialogWatcher(FileDialogWatcher watcher);
