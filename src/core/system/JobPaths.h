// The files one job reads and writes in its workspace, named in one place.
#pragma once

#include <QString>

struct JobPaths
{
    QString LeftSourceWav;  // the import's split
    QString RightSourceWav;
    QString PreviewControl; // the socket the preview's player takes changes on

    // The names every job uses, inside `folder`. Pair 1 names the other
    // pair of channel files, which an import splits into while the open
    // source keeps pair 0 (and the other way round); the rest is the same.
    static JobPaths InFolder(const QString &folder, int pair = 0);
    // Inside this instance's workspace (WorkspaceFile).
    static JobPaths InWorkspace(int pair = 0);
};
