// What Brenvox is asked for on its command line.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

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
    // A profile read over the preset onto the channels it names, as
    // "Import profile..." reads it; before the bands and options below.
    QString profile;
    bool lowCut = false;
    int bandwidth = 0; // 0: the preset's, or 1
    bool asDrawn = false;
    bool avoidClipping = false;
    // Each channel's preamp in tenths of a dB; unset keeps the preset's or
    // the profile's.
    std::array<std::optional<int>, 2> preampTenths;
    bool overwrite = false;
};

// 'arguments' as main() gets them, the program's name first.
CommandLineRequest ParseCommandLine(const QStringList &arguments);
