// The player's filter graph for a preview and the commands that change it
// while it plays, both from the channels' chain numbers.
#pragma once

#include "dsp/ChannelResponse.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace PreviewGraph {

// How the player reads a channel file: from the start, in frames of 128
// samples, the last one filled up with silence. The frames are cut here,
// where the file's end is seen: ffplay never tells its own filter graph
// that the input ended, so a filter there that cut them would hold back the
// last few samples for good.
QString ChannelReader(const QString &wav, double startSeconds);

struct Layout
{
    // One chain plays the player's input alone (mono); two are the left
    // (the player's input) and the right channel (rightWav) joined.
    std::vector<ChannelResponse::Chain> chains;
    QString rightWav;
    // Where azmq listens; empty for a graph that takes no commands.
    QString controlSocket;
    // Element names start with the channel's letter: "L" or "R".
    QStringList names{QStringLiteral("L")};
    bool bypass = false;
    // Where the player's reader starts, which the right channel's needs too.
    double startSeconds = 0;
};

// Every element the commands reach is always there: the level, the
// preamp, the pre-gain, the low cut (enabled or not) and every band that
// acts at the rate (disabled at 0 dB or at a bandwidth it cannot act at), so
// no change needs a new graph. The untouched sound runs beside the equalized
// one and a stream selector picks one, so bypass has no gap.
QString Graph(const Layout &layout);

// What turns the graph built for `playing` into `wanted`, for the channel
// named `name`; empty when they sound the same.
QStringList Commands(const QString &name, const ChannelResponse::Chain &playing,
                     const ChannelResponse::Chain &wanted);

// Whether turning `playing` into `wanted` by commands would leave the
// player with a state that does not die away: a command changes a band's
// coefficients but keeps what its filter holds, and at wide bandwidths a
// band's poles sit so close to the unit circle that the remainder plays on
// as an offset or a tone at half the rate for seconds or for good. Such a
// change is heard clean only from a player started afresh.
bool NeedsFreshState(const ChannelResponse::Chain &playing, const ChannelResponse::Chain &wanted);

QString BypassCommand(bool bypass);

// A text as one option value inside one filter of a graph: escaped for the
// option parser, then for the graph parser.
QString GraphOptionValue(const QString &text);

} // namespace PreviewGraph
