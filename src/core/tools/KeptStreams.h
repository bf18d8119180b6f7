// What an export keeps of its source beside the equalized sound: video,
// subtitles and cover art copied as they are, tags and chapters, each only
// where the output's container can hold it; and what the user is told
// before the export starts.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace KeptStreams {

// One stream of the source as ffprobe's report lists it.
struct SourceStream
{
    int index = 0;
    QString type;  // "audio", "video", "subtitle", ...
    QString codec; // ffmpeg's codec name
    // A still image (cover art) rather than moving pictures.
    bool attachedPicture = false;
};

struct Plan
{
    // The source's streams that are copied, by their index.
    QList<int> streams;
    bool keepsVideo = false; // moving pictures, not only cover art
    bool keepsSubtitles = false;
    // Said before the export starts, empty when the container holds all of
    // what it is meant to: "MP4 cannot hold this video codec: saving audio
    // only".
    QString notice;
};

// Decided from the output's extension alone, by a table of what ffmpeg's
// muxer for it takes: nothing is learnt by running an export that fails.
// An extension of an audio-only format keeps tags and, where it can, cover
// art, and is no reason for a notice.
Plan ForOutput(const QList<SourceStream> &streams, const QString &outputFile);

// The options that copy the plan's streams from input `sourceInput`, with
// its tags and chapters.
QStringList CopyOptions(const Plan &plan, int sourceInput);

// "5.1 source: downmixed to stereo" for a source of more than two
// channels; empty otherwise. `layout` as ffprobe names it ("5.1(side)").
QString DownmixNote(int channels, const QString &layout);

} // namespace KeptStreams
