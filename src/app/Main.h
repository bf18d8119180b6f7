// Start-up: builds the main window and prepares the workspace.
#pragma once

class Form1;

// Runs start-up and returns the shown main window, or nullptr when the window
// was closed while "Loading..." showed.
Form1 *Main();

// Tests and benchmarks that do not time start-up leave out the pause while
// "Loading..." shows. Never read from the command line or the environment.
void SkipLoadingPause(bool skip);
bool LoadingPauseSkipped();
