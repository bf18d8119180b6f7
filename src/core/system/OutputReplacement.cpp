// The export's private folder beside the target, and the rename out of it.
#include "core/system/OutputReplacement.h"

#include "core/system/NativePath.h"

#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Held by the export that owns the folder: a folder whose lock anyone can
// take was left by a Brenvox that is gone.
const char LockName[] = "in-use.lock";
const char NewLockName[] = "in-use.lock.new";

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

// File systems that keep no owner or mode of their own: the mount sets them
// for every file alike.
bool KeepsNoPermissions(int folder)
{
    struct statfs system {};
    if (::fstatfs(folder, &system) != 0)
        return false;
    switch (static_cast<unsigned long>(system.f_type)) {
    case 0x4d44UL:     // FAT
    case 0x2011bab0UL: // exFAT
    case 0x5346544eUL: // NTFS
    case 0x65735546UL: // anything through FUSE
    case 0x517bUL:     // SMB
    case 0xfe534d42UL: // SMB2
    case 0xff534d42UL: // CIFS
        return true;
    default:
        return false;
    }
}

// Why the folder the file goes to refuses it, from what making a folder
// there said.
QString FolderProblem(const QString &folder, int error)
{
    const QByteArray name = Encoded(folder);
    switch (error) {
    case ENOENT:
        if (::access(name.constData(), F_OK) == 0)
            break;
        return QStringLiteral("the folder %1 does not exist").arg(folder);
    case ENOTDIR:
        return QStringLiteral("%1 is not a folder").arg(folder);
    case EROFS:
        return QStringLiteral("the folder %1 is on a read-only file system").arg(folder);
    case EACCES:
        if (::faccessat(AT_FDCWD, name.constData(), X_OK, AT_EACCESS) != 0)
            return QStringLiteral("the folder %1 cannot be entered").arg(folder);
        return QStringLiteral("the folder %1 is read-only").arg(folder);
    default:
        break;
    }
    return QStringLiteral("nothing can be made in the folder %1 (%2)")
        .arg(folder, QString::fromLocal8Bit(::strerror(error)));
}

// Nobody may rename what lies in the folder but its owner, when that is
// this user or root, or anyone at all in a sticky folder.
bool OthersCannotRename(const QString &folder)
{
    struct stat status {};
    if (::stat(Encoded(folder).constData(), &status) != 0)
        return false;
    if (status.st_mode & S_ISVTX)
        return true;
    return (status.st_uid == ::geteuid() || status.st_uid == 0) && (status.st_mode & 022) == 0;
}

// rename(2) replaces whatever holds the name; where nobody agreed to that,
// the move must fail instead. Where the file system offers neither way of
// doing so (exFAT, FAT), a last look at the name is all there is.
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
    if (::linkat(folder, name, AT_FDCWD, destination, 0) == 0) {
        ::unlinkat(folder, name, 0);
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP)
        return -1;
    struct stat existing {};
    if (::lstat(destination, &existing) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(folder, name, AT_FDCWD, destination);
}

void EmptyFolder(int folder)
{
    const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DIR *entries = listed >= 0 ? ::fdopendir(listed) : nullptr) {
        while (const dirent *entry = ::readdir(entries)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::unlinkat(folder, entry->d_name, 0);
        }
        ::closedir(entries);
    } else if (listed >= 0) {
        ::close(listed);
    }
}

// Taken under another name and then renamed into place, so that nobody
// finds the lock of a live export free.
int LockFolder(int folder)
{
    const int lock = ::openat(folder, NewLockName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0)
        return -1;
    if (::flock(lock, LOCK_EX) != 0 || ::renameat(folder, NewLockName, folder, LockName) != 0) {
        ::close(lock);
        return -1;
    }
    return lock;
}

// ".<name>.XXXXXX", as mkdtemp makes them.
bool IsExportFolderName(const char *name)
{
    const size_t length = std::strlen(name);
    if (length < 9 || name[0] != '.' || name[length - 7] != '.')
        return false;
    for (size_t i = length - 6; i < length; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

} // namespace

namespace OutputReplacement {

QString ForeignLinkProblem(const QString &path)
{
    // Each link on the way counts, as for the kernel (which gives up after
    // 40).
    QString hop = NativePath::Absolute(path);
    for (int hops = 0; hops < 40; ++hops) {
        const QString folderPath = NativePath::FolderOf(hop);
        struct stat link {};
        struct stat folder {};
        if (::lstat(Encoded(hop).constData(), &link) != 0 || !S_ISLNK(link.st_mode)
            || ::stat(Encoded(folderPath).constData(), &folder) != 0)
            return QString();
        // The kernel's own rule for links in shared folders such as /tmp; a
        // path resolved here, not by the kernel, must keep it by hand.
        const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
        if (shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid)
            return QStringLiteral("%1 is another user's link in a shared folder and is not followed: choose another name")
                .arg(hop);
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(Encoded(hop).constData(), target.data(), target.size());
        if (length <= 0 || length >= target.size())
            return QString();
        target.truncate(length);
        hop = target.startsWith('/') ? NativePath::FromBytes(target)
                                     : folderPath + QLatin1Char('/') + NativePath::FromBytes(target);
    }
    return QString();
}

void RemoveAbandonedFolders(const QString &folder)
{
    const int parent = ::open(Encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *entries = parent >= 0 ? ::fdopendir(::dup(parent)) : nullptr;
    if (!entries) {
        if (parent >= 0)
            ::close(parent);
        return;
    }
    while (const dirent *entry = ::readdir(entries)) {
        if (!IsExportFolderName(entry->d_name))
            continue;
        const int candidate = ::openat(parent, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (candidate < 0)
            continue;
        struct stat held {};
        const int lock = ::openat(candidate, LockName, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        struct stat lockStatus {};
        // Without the lock file it is nobody's export, or one being made.
        if (lock >= 0 && ::fstat(candidate, &held) == 0 && held.st_uid == ::geteuid()
            && ::fstat(lock, &lockStatus) == 0 && S_ISREG(lockStatus.st_mode)
            && ::flock(lock, LOCK_EX | LOCK_NB) == 0) {
            EmptyFolder(candidate);
            struct stat named {};
            if (::fstatat(parent, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameInode(named, held))
                ::unlinkat(parent, entry->d_name, AT_REMOVEDIR);
        }
        if (lock >= 0)
            ::close(lock);
        ::close(candidate);
    }
    ::closedir(entries);
    ::close(parent);
}

std::shared_ptr<TemporaryOutput> TemporaryOutput::Create(const QString &target, QString *problem)
{
    QString ignored;
    QString &why = problem ? *problem : ignored;
    why.clear();
    if (target.isEmpty()) {
        why = QStringLiteral("no output file was chosen");
        return nullptr;
    }
    why = ForeignLinkProblem(target);
    if (!why.isEmpty())
        return nullptr;
    const QString destination = Destination(target);
    const QFileInfo info(destination);
    struct stat existing {};
    if (::stat(Encoded(destination).constData(), &existing) == 0) {
        // Not even root replaces a file that nobody may write; a read-only
        // file system is told as the folder's.
        if (S_ISDIR(existing.st_mode))
            why = QStringLiteral("%1 is a folder").arg(destination);
        else if (!S_ISREG(existing.st_mode))
            why = QStringLiteral("%1 is not a regular file").arg(destination);
        else if ((existing.st_mode & 0222) == 0 || (::access(Encoded(destination).constData(), W_OK) != 0 && errno != EROFS))
            why = QStringLiteral("%1 is read-only and is not replaced").arg(destination);
        if (!why.isEmpty())
            return nullptr;
    }
    const QString folderPath = NativePath::FolderOf(destination);
    RemoveAbandonedFolders(folderPath);
    const QString written = WrittenName(info);
    // The folder's name says whose it is should a crash leave it behind.
    const QString stem = Encoded(written).size() <= NAME_MAX - 8 ? written : QStringLiteral("brenvox");
    QByteArray pattern = Encoded(folderPath + QLatin1String("/.") + stem + QLatin1String(".XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        why = FolderProblem(folderPath, errno);
        return nullptr;
    }
    std::shared_ptr<TemporaryOutput> output(new TemporaryOutput);
    output->mFolderPath = NativePath::FromBytes(pattern);
    // Never the lock's name, whatever the target's.
    output->mName = written.startsWith(QLatin1String(LockName)) ? QLatin1String("audio-") + written : written;
    output->mTarget = NativePath::Absolute(target);
    output->mDestination = destination;
    output->mFolder = ::open(pattern.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat folder {};
    // Between mkdtemp and open another user may have put something of
    // theirs under the name: only a folder of this user's that nobody else
    // may enter is taken, unless the file system keeps no owners or modes
    // at all.
    const bool opened = output->mFolder >= 0 && ::fstat(output->mFolder, &folder) == 0;
    const bool permissionless = opened && KeepsNoPermissions(output->mFolder);
    if (!opened || (!permissionless && (folder.st_uid != ::geteuid() || (folder.st_mode & 077) != 0))) {
        why = opened ? QStringLiteral("the private folder beside %1 was taken by someone else").arg(destination)
                     : FolderProblem(folderPath, errno);
        if (output->mFolder >= 0)
            ::close(output->mFolder);
        output->mFolder = -1;
        ::rmdir(pattern.constData());
        return nullptr;
    }
    output->mPrivate = !permissionless;
    output->mLock = LockFolder(output->mFolder);
    // The tools are other processes: they reach the held folder through
    // /proc, when this system has it.
    const QString held = QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(output->mFolder);
    struct stat reached {};
    const bool reachable = ::stat(Encoded(held).constData(), &reached) == 0 && SameInode(reached, folder);
    if (!reachable && !OthersCannotRename(folderPath)) {
        why = QStringLiteral("without /proc, others who may rename in %1 could lead the tools elsewhere: "
                             "choose a folder only you may write in")
                  .arg(folderPath);
        return nullptr;
    }
    output->mFile = (reachable ? held : output->mFolderPath) + QLatin1Char('/') + output->mName;
    return output;
}

TemporaryOutput::~TemporaryOutput()
{
    // Some file systems (FUSE) keep a removed file that is still open, and
    // its folder with it.
    if (mLock >= 0)
        ::close(mLock);
    Remove();
    if (mFolder >= 0)
        ::close(mFolder);
}

QString TemporaryOutput::File() const
{
    return mFile;
}

QString TemporaryOutput::Lacks() const
{
    if (mPrivate)
        return QString();
    return QStringLiteral("The file system of %1 keeps no file private and may not refuse to replace a file "
                          "that appears under its name meanwhile: it is written as safely as it allows.")
        .arg(NativePath::FolderOf(mDestination));
}

QString TemporaryOutput::PutInPlace(bool replaceExisting) const
{
    const QByteArray name = Encoded(mName);
    const QByteArray destination = Encoded(mDestination);
    const int file = ::openat(mFolder, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (file < 0)
        return SystemError("the output file could not be replaced: ", errno);
    struct stat existing {};
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
    // written file, its lock, or one put aside before a run).
    EmptyFolder(mFolder);
    // Its name may lead elsewhere by now: it goes only while it is the
    // folder held.
    const QByteArray path = Encoded(mFolderPath);
    struct stat named {};
    struct stat held {};
    if (::lstat(path.constData(), &named) == 0 && ::fstat(mFolder, &held) == 0 && SameInode(named, held))
        ::rmdir(path.constData());
}

} // namespace OutputReplacement
