#include "core/system/JobPaths.h"

#include "core/system/AppFolder.h"

#include <functional>

namespace {

JobPaths Named(const std::function<QString(const QString &)> &file, int pair)
{
    const QString suffix = pair == 0 ? QString() : QString::number(pair + 1);
    JobPaths paths;
    paths.LeftSourceWav = file(QStringLiteral("Left%1.wav").arg(suffix));
    paths.RightSourceWav = file(QStringLiteral("Right%1.wav").arg(suffix));
    paths.PreviewControl = file(QStringLiteral("preview.sock"));
    return paths;
}

} // namespace

JobPaths JobPaths::InFolder(const QString &folder, int pair)
{
    return Named([&folder](const QString &name) { return folder + QLatin1Char('/') + name; }, pair);
}

JobPaths JobPaths::InWorkspace(int pair)
{
    return Named(&WorkspaceFile, pair);
}
