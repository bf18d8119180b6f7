// The one fixture that starts a main window: a fresh session, in an
// application folder of the test's own with the tools it asks for.
#pragma once

#include "TestAppFolder.h"

#include "app/Main.h"
#include "session/Session.h"
#include "ui/mainwindow/MainWindow.h"

#include <QPointer>
#include <QString>

#include <functional>

class StartedMainWindow
{
public:
    enum class Tools {
        None,          // the window alone: every tool is missing
        Real,          // the real ffmpeg and ffprobe
        RealAndPlayer, // and the real ffplay (SDL's disk driver in tests)
    };

    explicit StartedMainWindow(Tools tools = Tools::None, const QString &folderName = QStringLiteral("app"));
    // `prepare` puts the test's own tools in place before start-up looks
    // for them. With the loading pause, start-up completes later: `started`.
    StartedMainWindow(const QString &folderName, const std::function<void(TestAppFolder &)> &prepare,
                      bool loadingPause = false);
    virtual ~StartedMainWindow();

    bool isValid() const { return app.isValid() && form; }

    TestAppFolder app; // first: start-up prepares its workspace there
    Session session;
    QPointer<MainWindow> form;
    bool started = false;
};

// Elements of a filter chain; an empty chain has none.
inline int ChainElementCount(const QString &chain)
{
    return chain.isEmpty() ? 0 : int(chain.count(QLatin1Char(','))) + 1;
}
