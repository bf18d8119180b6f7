#include "core/system/JobPaths.h"

#include "core/system/AppFolder.h"

#include <functional>

namespace {

JobPaths Named(const std::function<QString(const QString &)> &file)
{
    JobPaths paths;
    paths.LeftSourceWav = file(QStringLiteral("Left.wav"));
    paths.RightSourceWav = file(QStringLiteral("Right.wav"));
    paths.LeftOutWav = file(QStringLiteral("Lout.wav"));
    paths.RightOutWav = file(QStringLiteral("Rout.wav"));
    paths.PreviewControl = file(QStringLiteral("preview.sock"));
    return paths;
}

} // namespace

JobPaths JobPaths::InFolder(const QString &folder)
{
    return Named([&folder](const QString &name) { return folder + QLatin1Char('/') + name; });
}

JobPaths JobPaths::InWorkspace()
{
    return Named(&WorkspaceFile);
}
