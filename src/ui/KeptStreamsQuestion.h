// Before Save As writes less of the source than the user may expect (a
// film its container cannot hold): asks whether to go on.
#pragma once

#include <QString>

#include <functional>

class QWidget;
class Session;

// Calls `goOn` at once when the output keeps all it can of the open source;
// otherwise asks, and calls it only when the user goes on. Returns at once
// either way.
void AskBeforeLeavingOut(QWidget *parent, const Session &session, const QString &outputFile,
                         std::function<void()> goOn);
