// Start-up: builds the main window and prepares the workspace.
#pragma once

class Form1;

// Runs start-up and returns the shown main window.
Form1 *Main();
