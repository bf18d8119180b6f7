// What Brenvox is asked for on its command line.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLineRequest
{
    enum class Action {
        Window,  // start the window, opening 'files' as if chosen with Open
        Help,    // print 'text' and end
        Version, // print 'text' and end
        Error,   // print 'text' to standard error and end with a failure
    };
    Action action = Action::Window;
    QStringList files;
    QString text;
};

// 'arguments' as main() gets them, the program's name first.
CommandLineRequest ParseCommandLine(const QStringList &arguments);
