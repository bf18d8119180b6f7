// Size, readability and text checks shared by presets and profiles.
#include "presets/SmallTextFile.h"

#include <QFile>
#include <QStringDecoder>

namespace SmallTextFile {

bool Read(const QString &path, QString *text, QString *problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("the file cannot be read (%1)").arg(file.errorString());
        return false;
    }
    // A pipe or device has no size: the limit is checked on what was read.
    if (file.size() > SizeLimit) {
        *problem = QStringLiteral("the file is %1 KB, more than a preset or profile can be (1024 KB)")
                       .arg(file.size() / 1024);
        return false;
    }
    const QByteArray content = file.read(SizeLimit + 1);
    if (content.size() > SizeLimit) {
        *problem = QStringLiteral("the file is more than a preset or profile can be (1024 KB)");
        return false;
    }
    if (content.trimmed().isEmpty()) {
        *problem = QStringLiteral("the file is empty");
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(content);
    if (content.contains('\0') || utf8.hasError()) {
        *problem = QStringLiteral("the file is not a text file");
        return false;
    }
    *text = decoded;
    return true;
}

} // namespace SmallTextFile
