// What Brenvox is asked for on its command line.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct CommandLineRequest
{
    enum class Action {
        Window,  // start the window, opening 'files' as if chosen with Open
        Help,    // print 'text' and end
        Version, // print 'text' and end
        Error,   // print 'text' to standard error and end with a failure
        Export,  // equalize 'files' (one) into 'output' without a window
        Batch,   // equalize 'files' into 'outputFolder', 'jobs' at a time
    };
    struct BandGain
    {
        int channel; // 0 left, 1 right
        int band;    // 0..64
        int gain;    // whole dB, positive boosts
    };

    Action action = Action::Window;
    QStringList files;
    QString text;

    QString output;
    QString outputFolder;
    QString format = QStringLiteral("wav"); // the batch's output extension
    int jobs = 0;                            // 0: half the cores, at least 1
    QString preset;
    QVector<BandGain> bands; // applied over the preset, in order
    bool lowCut = false;
    int bandwidth = 0; // 0: the preset's, or 1
    bool overwrite = false;
};

// 'arguments' as main() gets them, the program's name first.
CommandLineRequest ParseCommandLine(const QStringList &arguments);
