// Entry point: the command line, then the main window or the exports it asks for.
#include "ui/mainwindow/MainWindow.h"
#include "ui/mainwindow/PresetsController.h"
#include "app/Main.h"
#include "core/system/NativePath.h"
#include "core/system/QuitOnSignal.h"
#include "cli/CommandLine.h"
#include "cli/CommandLineExport.h"
#include "session/Session.h"

#include <QApplication>
#include <QPointer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Read before any window system is touched: --help and --version work
    // without a display.
    // Names reach the files and the tools byte for byte, UTF-8 or not.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << NativePath::FromBytes(argv[i]);
    const CommandLineRequest request = ParseCommandLine(arguments);
    switch (request.action) {
    case CommandLineRequest::Action::Help:
    case CommandLineRequest::Action::Version:
        std::fputs(qPrintable(request.text), stdout);
        return 0;
    case CommandLineRequest::Action::Error:
        std::fputs(qPrintable(request.text), stderr);
        return 2;
    case CommandLineRequest::Action::Export:
    case CommandLineRequest::Action::Batch: {
        // No window, so no display is needed.
        QCoreApplication application(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Brenvox"));
        return RunCommandLineExports(request);
    }
    case CommandLineRequest::Action::Window:
        break;
    }

    // Made first, gone last: every window refers to it while it goes.
    Session session;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenvox"));

    // From the start, also during the loading pause: closing the main window
    // stops every tool and quits, and the workspace goes with the process.
    QuitOnTerminationSignals([] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *main = qobject_cast<MainWindow *>(window))
                main->close();
        }
        QCoreApplication::quit();
    });
    Main(session, [&request](MainWindow *form) {
        if (!request.preset.isEmpty())
            form->Presets().LoadPreset(request.preset);
        if (!request.files.isEmpty())
            form->OpenGivenFiles(request.files);
    });
    return application.exec();
}
