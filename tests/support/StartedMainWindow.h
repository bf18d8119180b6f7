// A main window started in its own application folder, for widget tests
// that drive it without running tools.
#pragma once

#include "TestAppFolder.h"

#include "ui/form1/Form1.h"
#include "app/Main.h"
#include "session/SharedState.h"

#include <QString>

class StartedMainWindow
{
public:
    StartedMainWindow()
    {
        SkipLoadingPause(true);
        form = Main();
    }

    ~StartedMainWindow()
    {
        delete form;
        ClearSharedState();
    }

    bool isValid() const { return folder.isValid() && form; }

    TestAppFolder folder; // first: start-up prepares its workspace there
    Form1 *form = nullptr;
};

// Elements of a filter chain; an empty chain has none.
inline int ChainElementCount(const QString &chain)
{
    return chain.isEmpty() ? 0 : int(chain.count(QLatin1Char(','))) + 1;
}
