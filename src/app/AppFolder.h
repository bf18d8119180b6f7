// Where the executable, the tools and the workspace live.
#pragma once

#include <QString>

// The folder of the running executable, without a trailing separator.
QString AppFolder();

// Tests and benchmarks run in their own folder (stand-in tools, their own
// workspace). An empty folder restores the executable's.
void OverrideAppFolder(const QString &folder);

// AppFolder() + "/TempWavs"
QString WorkspaceFolder();
