// Emptying a folder tree, and making the empty TempWavs folder of a workspace.
#pragma once

#include <QString>

// Removes a file, a link or a folder with everything below it, without asking.
// A link is removed itself: what it points to is left alone.
void DeleteFolderTree(const QString &path);

// Deletes whatever stands at baseFolder + "/TempWavs" and creates an empty
// folder there. Failures are ignored: the tools then fail in their own way.
void PrepareTempFolder(const QString &baseFolder);
