// Ends Brenvox the orderly way when the session or a terminal asks it to.
#pragma once

#include <functional>

// From now on SIGTERM, SIGHUP and SIGINT run 'quit' in the event loop instead
// of ending the process on the spot, so running tools are stopped, an
// unfinished output is removed and the workspace goes with the process.
void QuitOnTerminationSignals(std::function<void()> quit);
