// Where the executable and the tools live, and the workspace of this running
// instance.
#pragma once

#include <QString>
#include <QStringList>

// The folder of the running executable, without a trailing separator.
QString AppFolder();

// Tests and benchmarks run in their own folder (stand-in tools). An empty
// folder restores the executable's.
void OverrideAppFolder(const QString &folder);

// The folder a tool is run from: beside the executable when it is there and
// executable, else the first folder on PATH that has it, else the
// executable's folder (so a failure names where it was expected).
QString ToolFolder(const QString &tool);

// Where ToolFolder looks, in order, for messages that name them.
QStringList ToolSearchFolders();

// This instance's workspace: a folder "TempWavs" inside a private folder of
// its own under the temporary location (TMPDIR), so two instances never share
// one and an installed program works. Made on first use.
QString WorkspaceFolder();

// The channel files in the workspace.
QString WorkspaceFile(const QString &name);

// Replaces the instance's workspace with a new, empty one and removes the
// old one with everything in it; also removes workspaces that instances which
// no longer run left behind. Start-up runs it.
void PrepareWorkspace();

// Removes the instance's workspace; the next use makes a new one.
void RemoveWorkspace();
