// Closing the main window ends Brenvox: every tool stops, every window
// closes, and an export cut short leaves no partial file behind.
#include "ui/form1/Form1.h"

#include "core/presets/PresetFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

void Form1::CleanUnload()
{
    // close() below comes back here through closeEvent.
    static bool unloading = false;
    if (unloading)
        return;
    unloading = true;

    // "Last settings" offers them at the next start; start-up itself stays
    // flat. No window is left to tell a failure in, so standard error does.
    const QString lastSettings = LastSettingsPath();
    QString message;
    if (!QDir().mkpath(QFileInfo(lastSettings).absolutePath()))
        message = QStringLiteral("Cannot save the preset %1: its folder cannot be made.").arg(lastSettings);
    else
        PresetFile::Save(lastSettings, mSession.Settings(), &message);
    if (!message.isEmpty()) {
        std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
        std::fflush(stderr);
    }

    // Each window stops its own tool as it closes; Form3 also removes an
    // output file whose export has not completed.
    CloseExportWindow();
    CloseInspectionWindow();
    StopPreview();
    close();
    // Nothing is asked, not even while an export runs.
    QCoreApplication::quit();

    unloading = false;
}
