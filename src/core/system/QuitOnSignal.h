// Ends Brenvox the orderly way when the session or a terminal asks it to.
#pragma once

#include <functional>

// From now on SIGTERM, SIGHUP and SIGINT, and with onBrokenPipe SIGPIPE
// (standard error read by a pipe that closed), run 'quit' in the event loop
// instead of ending the process on the spot, so running tools are stopped,
// an unfinished output is removed and the workspace goes with the process.
// The tools start with the default actions again. The window leaves SIGPIPE
// to Qt, whose sockets ignore it.
void QuitOnTerminationSignals(std::function<void()> quit, bool onBrokenPipe = false);
