// The command line's exports without a window: each input imported and
// exported in its own workspace, a few at a time, told on standard error.
#pragma once

#include "cli/CommandLine.h"

// Runs the Export or Batch request inside a running QCoreApplication's event
// loop and returns the exit status: 0 when every file was written, 1 when
// any failed, 130 when SIGINT, SIGTERM or SIGHUP stopped the run (every tool
// stopped, no partial output left).
int RunCommandLineExports(const CommandLineRequest &request);
