// One tool run to its end, for benchmarks that have nothing else to do
// meanwhile: the runner's signals with an event loop around them.
#pragma once

#include "core/tools/CommandText.h"
#include "process/ToolRun.h"

#include <QEventLoop>

#include <functional>

// False when nothing started; otherwise every chunk went to `chunk`, and the
// runner tells how the run ended.
inline bool RunToEnd(ToolRun &runner, const ToolCommand &command,
                     const std::function<void(const QByteArray &)> &chunk = {})
{
    QEventLoop loop;
    QObject::connect(&runner, &ToolRun::ChunkRead, &loop, [&chunk](const QByteArray &bytes) {
        if (chunk)
            chunk(bytes);
    });
    QObject::connect(&runner, &ToolRun::Ended, &loop, &QEventLoop::quit);
    if (!runner.Start(command))
        return false;
    loop.exec();
    return true;
}
