// The export's private folder beside the target, and the rename out of it.
#include "core/system/OutputReplacement.h"

#include "core/system/NativePath.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Encoded(const QString &path)
{
    return NativePath::ToBytes(path);
}

// Where the result goes: the file a link names, or the path itself. Asked
// of the bytes, which Qt's file classes would not reach for every name.
QString Destination(const QString &target)
{
    const QString absolute = NativePath::Absolute(target);
    struct stat link = {};
    if (::lstat(Encoded(absolute).constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char *real = ::realpath(Encoded(absolute).constData(), nullptr)) {
            const QString resolved = NativePath::FromBytes(real);
            ::free(real);
            return resolved;
        }
    }
    return absolute;
}

// The name the tools write under: the target's, for ffmpeg to pick the
// format by, unless it holds bytes a tool's argument cannot carry.
QString WrittenName(const QFileInfo &target)
{
    if (!NativePath::HoldsRawBytes(target.fileName()))
        return target.fileName();
    const QString suffix = target.suffix();
    return NativePath::HoldsRawBytes(suffix) || suffix.isEmpty() ? QStringLiteral("output")
                                                                : QStringLiteral("output.") + suffix;
}

QString SystemError(const char *what, int error)
{
    return QLatin1String(what) + QString::fromLocal8Bit(::strerror(error));
}

bool SameInode(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// rename(2) replaces whatever holds the name; where nobody agreed to that,
// the move must fail instead.
int Move(int folder, const char *name, const char *destination, bool replace)
{
    if (replace)
        return ::renameat(folder, name, AT_FDCWD, destination);
    if (::renameat2(folder, name, AT_FDCWD, destination, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // A file system without that flag: a new hard link fails just the same
    // when the name is taken.
    if (::linkat(folder, name, AT_FDCWD, destination, 0) != 0)
        return -1;
    ::unlinkat(folder, name, 0);
    return 0;
}

} // namespace

namespace OutputReplacement {

std::shared_ptr<TemporaryOutput> TemporaryOutput::Create(const QString &target)
{
    if (target.isEmpty())
        return nullptr;
    const QString destination = Destination(target);
    const QFileInfo info(destination);
    struct stat existing = {};
    if (::stat(Encoded(destination).constData(), &existing) == 0
        && (S_ISDIR(existing.st_mode) || ::access(Encoded(destination).constData(), W_OK) != 0))
        return nullptr;
    const QString written = WrittenName(info);
    // The folder's name says whose it is should a crash leave it behind.
    const QString stem = Encoded(written).size() <= NAME_MAX - 8 ? written : QStringLiteral("brenvox");
    QByteArray pattern = Encoded(NativePath::FolderOf(destination) + QLatin1String("/.") + stem + QLatin1String(".XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        return nullptr;
    std::shared_ptr<TemporaryOutput> output(new TemporaryOutput);
    output->mFolderPath = NativePath::FromBytes(pattern);
    output->mName = written;
    output->mTarget = NativePath::Absolute(target);
    output->mDestination = destination;
    output->mFolder = ::open(pattern.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat folder;
    // Between mkdtemp and open another user may have put something of
    // theirs under the name: only a folder of this user's that nobody else
    // may enter is taken.
    if (output->mFolder < 0 || ::fstat(output->mFolder, &folder) != 0 || folder.st_uid != ::geteuid()
        || (folder.st_mode & 077) != 0) {
        if (output->mFolder >= 0)
            ::close(output->mFolder);
        output->mFolder = -1;
        ::rmdir(pattern.constData());
        return nullptr;
    }
    // The tools are other processes: they reach the held folder through
    // /proc, when this system has it.
    const QString held = QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(output->mFolder);
    struct stat reached;
    const bool reachable = ::stat(Encoded(held).constData(), &reached) == 0 && SameInode(reached, folder);
    output->mFile = (reachable ? held : output->mFolderPath) + QLatin1Char('/') + output->mName;
    return output;
}

TemporaryOutput::~TemporaryOutput()
{
    Remove();
    if (mFolder >= 0)
        ::close(mFolder);
}

QString TemporaryOutput::File() const
{
    return mFile;
}

QString TemporaryOutput::PutInPlace(bool replaceExisting) const
{
    const QByteArray name = Encoded(mName);
    const QByteArray destination = Encoded(mDestination);
    const int file = ::openat(mFolder, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0)
        return SystemError("the output file could not be replaced: ", errno);
    struct stat existing;
    if (replaceExisting && ::stat(destination.constData(), &existing) == 0)
        ::fchmod(file, existing.st_mode & 07777);
    // The data must be on the disk before the name points at it, or a crash
    // right after the rename could leave an empty file under the user's name.
    const int synced = ::fsync(file) == 0 ? 0 : errno;
    ::close(file);
    if (synced != 0 && synced != EINVAL)
        return SystemError("the output file could not be written to the disk: ", synced);
    if (Move(mFolder, name.constData(), destination.constData(), replaceExisting) == 0) {
        // The new name, too, must survive a crash.
        const int folder = ::open(Encoded(NativePath::FolderOf(mDestination)).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return QString();
    }
    if (errno == EEXIST)
        return QStringLiteral("%1 appeared while exporting and was left as it is").arg(mTarget);
    return SystemError("the output file could not be replaced: ", errno);
}

void TemporaryOutput::Remove() const
{
    if (mFolder < 0)
        return;
    // Nobody else may write in the folder: all in it is the export's (the
    // written file, or one put aside before a run).
    const int listed = ::openat(mFolder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DIR *entries = listed >= 0 ? ::fdopendir(listed) : nullptr) {
        while (const dirent *entry = ::readdir(entries)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::unlinkat(mFolder, entry->d_name, 0);
        }
        ::closedir(entries);
    } else if (listed >= 0) {
        ::close(listed);
    }
    // Its name may lead elsewhere by now: it goes only while it is the
    // folder held.
    const QByteArray path = Encoded(mFolderPath);
    struct stat named;
    struct stat held;
    if (::lstat(path.constData(), &named) == 0 && ::fstat(mFolder, &held) == 0 && SameInode(named, held))
        ::rmdir(path.constData());
}

} // namespace OutputReplacement
