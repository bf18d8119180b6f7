// Picks the line of a tool's console output that says why it failed.
#pragma once

#include <QString>

// The last non-blank line, trimmed; ffmpeg and ffplay end with the reason
// they gave up. Status lines end with a carriage return, so both line ends
// count.
QString LastErrorLine(const QString &output);
