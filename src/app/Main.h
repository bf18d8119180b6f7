// Start-up: builds the main window and prepares the workspace.
#pragma once

class Form1;

// Runs start-up and returns the shown main window, or nullptr when the window
// was closed while "Loading..." showed.
Form1 *Main();
