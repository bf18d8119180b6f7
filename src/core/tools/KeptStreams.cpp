#include "core/tools/KeptStreams.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// What each container's muxer takes by stream copy, from ffmpeg 5.1's
// muxers: a codec missing here fails the muxer's header ("Could not find
// tag for codec ... not currently supported in container") after the whole
// sound has been rendered. Lists err on the short side: a codec left out
// costs the video, one wrongly listed costs the export.
struct Container
{
    const char *name;
    const char *extensions;
    const char *video;     // empty: an audio-only format
    const char *subtitles;
    const char *pictures;  // cover art the format stores as such
};

const Container Containers[] = {
    {"MP4", "mp4 m4v", "h264 hevc mpeg4 av1 vp9 mpeg2video mpeg1video", "mov_text", "mjpeg png bmp"},
    {"MOV", "mov", "h264 hevc mpeg4 av1 vp9 mpeg2video mpeg1video prores dnxhd mjpeg png qtrle rawvideo",
     "mov_text", "mjpeg png bmp"},
    // Matroska would take cover art only as a one-frame video track.
    {"MKV", "mkv", "h264 hevc av1 vp8 vp9 mpeg4 mpeg2video mpeg1video mjpeg ffv1 theora prores",
     "subrip ass ssa webvtt dvd_subtitle hdmv_pgs_subtitle dvb_subtitle", ""},
    {"WebM", "webm", "vp8 vp9 av1", "webvtt", ""},
    {"AVI", "avi", "mpeg4 h264 mjpeg msmpeg4v2 msmpeg4v3 ffv1 huffyuv", "", ""},
    {"MPEG-TS", "ts m2ts mts", "h264 hevc mpeg2video mpeg1video", "dvb_subtitle", ""},
    {"M4A", "m4a m4b", "", "", "mjpeg png bmp"},
    {"MP3", "mp3", "", "", "mjpeg png"},
    {"FLAC", "flac", "", "", "mjpeg png"},
};

bool Lists(const char *list, const QString &codec)
{
    return QString::fromLatin1(list).split(QLatin1Char(' ')).contains(codec);
}

const Container *ContainerOf(const QString &outputFile)
{
    const QString extension = QFileInfo(outputFile).suffix().toLower();
    for (const Container &container : Containers) {
        if (Lists(container.extensions, extension))
            return &container;
    }
    return nullptr;
}

} // namespace

namespace KeptStreams {

Plan ForOutput(const QList<SourceStream> &streams, const QString &outputFile)
{
    Plan plan;
    const Container *container = ContainerOf(outputFile);
    if (!container)
        return plan;
    QList<int> video;
    QList<int> subtitles;
    bool videoHeld = true;
    bool subtitlesHeld = true;
    for (const SourceStream &stream : streams) {
        if (stream.type == QLatin1String("video") && stream.attachedPicture) {
            if (Lists(container->pictures, stream.codec))
                plan.streams << stream.index;
        } else if (stream.type == QLatin1String("video") && *container->video) {
            videoHeld = videoHeld && Lists(container->video, stream.codec);
            video << stream.index;
        } else if (stream.type == QLatin1String("subtitle") && *container->video) {
            subtitlesHeld = subtitlesHeld && Lists(container->subtitles, stream.codec);
            subtitles << stream.index;
        }
    }
    const QString name = QLatin1String(container->name);
    // Subtitles without their pictures would be text over nothing.
    if (!video.isEmpty() && !videoHeld) {
        plan.notice = name + QLatin1String(" cannot hold this video codec: saving audio only");
        return plan;
    }
    plan.streams << video;
    plan.keepsVideo = !video.isEmpty();
    if (!subtitles.isEmpty() && !subtitlesHeld)
        plan.notice = name + QLatin1String(" cannot hold these subtitles: saving without them");
    else
        plan.streams << subtitles;
    plan.keepsSubtitles = subtitlesHeld && !subtitles.isEmpty();
    return plan;
}

QStringList CopyOptions(const Plan &plan, int sourceInput)
{
    const QString input = QString::number(sourceInput);
    QStringList options;
    for (int stream : plan.streams)
        options << u"-map"_s << input + QLatin1Char(':') + QString::number(stream);
    // Copied, never encoded again: a picture or a film keeps every bit.
    if (!plan.streams.isEmpty())
        options << u"-c:v"_s << u"copy"_s;
    if (plan.keepsSubtitles)
        options << u"-c:s"_s << u"copy"_s;
    // ffmpeg takes the tags and chapters of the first input that has them,
    // which is a render's pipe when the source is not the first.
    options << u"-map_metadata"_s << input << u"-map_chapters"_s << input;
    return options;
}

QString DownmixNote(int channels, const QString &layout)
{
    if (channels <= 2)
        return QString();
    // "5.1(side)" and "5.1" are one thing to a listener.
    QString name = layout.section(QLatin1Char('('), 0, 0);
    if (name.isEmpty() || name == QLatin1String("unknown"))
        name = QStringLiteral("%1-channel").arg(channels);
    return name + QLatin1String(" source: downmixed to stereo");
}

} // namespace KeptStreams
