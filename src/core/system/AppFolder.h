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
// its own under the temporary location (TMPDIR, or /tmp when TMPDIR is not a
// folder this user can write), so two instances never share one and an
// installed program works. Made on first use; a lock on a file in it is
// held while it exists.
QString WorkspaceFolder();

// The channel files in the workspace.
QString WorkspaceFile(const QString &name);

// Replaces the instance's workspace with a new, empty one and removes the
// old one with everything in it; also removes this user's workspaces whose
// lock no process holds any more. Start-up runs it.
void PrepareWorkspace();

// Removes the instance's workspace; the next use makes a new one.
void RemoveWorkspace();
