// The base of the window tests whose every case starts on a fresh window.
#pragma once

#include "StartedMainWindow.h"

#include <QObject>
#include <QTest>

#include <memory>

class MainWindowTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<StartedMainWindow> mWindow;
    MainWindow *mForm = nullptr;

private slots:
    void init()
    {
        mWindow = std::make_unique<StartedMainWindow>();
        QVERIFY(mWindow->isValid());
        mForm = mWindow->form;
    }

    void cleanup()
    {
        mWindow.reset();
        mForm = nullptr;
    }
};
