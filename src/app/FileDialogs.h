// The one way to the open and save dialogs, so tests can answer them.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

struct FileDialogRequest
{
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title;
    // Qt name filters, e.g. "Wav Files (*.wav)", in the order shown.
    QStringList nameFilters;
    QString selectedNameFilter;
    QString defaultSuffix; // without the dot
    bool confirmOverwrite = false;
};

// Returns the chosen path, or empty text when the user cancelled.
QString ShowFileDialog(QWidget *parent, const FileDialogRequest &request);

using FileDialogAnswer = std::function<QString(const FileDialogRequest &)>;

// Replaces the real dialog until called again with an empty function.
void SetFileDialogAnswer(FileDialogAnswer answer);
