// Start-up: builds the main window on the session and prepares the workspace.
#pragma once

#include <functional>

class MainWindow;
class Session;

// Runs start-up and returns the main window. With the session's loading
// pause the window shows "Loading..." for a second or two and the rest of
// start-up follows then; without it, start-up is complete on return.
// `started` runs with the ready window, unless it was closed while loading.
MainWindow *Main(Session &session, std::function<void(MainWindow *)> started = {});
