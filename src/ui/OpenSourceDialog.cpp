#include "ui/OpenSourceDialog.h"

FileDialogRequest OpenSourceDialogRequest()
{
    // "*mp3" has no dot on purpose: it lists every name ending in mp3. On
    // Linux "*.*" would hide names without a dot, so "All Files" shows "*".
    static const char *const kinds[][2] = {
        {"Wav Files (*.wav)", "*.wav"},
        {"MP3 Files (*.mp3)", "*mp3"},
        {"AVI Files (*.avi)", "*.avi"},
        {"MP4 Files (*.mp4)", "*.mp4"},
        {"All Files (*.*)", "*"},
    };
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.title = QStringLiteral("Open File");
    for (const auto &kind : kinds)
        request.nameFilters << QtNameFilter(QString::fromLatin1(kind[0]), QString::fromLatin1(kind[1]));
    request.selectedNameFilter = request.nameFilters.constLast();
    return request;
}
