// Whether a chosen output would destroy what the export reads: the window's
// Save As and the command line ask the same question before anything runs.
#pragma once

#include <QString>
#include <QStringList>

// Why the export must not write to output, or empty text when it may: the
// output is one of the inputs under any of its names (the same path, a link,
// a hard link), or lies in Brenvox's own workspace or the folder that holds it.
QString OutputRefusal(const QString &output, const QStringList &inputs);
