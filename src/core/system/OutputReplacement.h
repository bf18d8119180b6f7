// The export writes into a folder of its own beside the chosen file and puts
// its result in place in one step: a failed, cancelled or killed export never
// touches the chosen file, and nobody who may write in that folder can put a
// link or a file of theirs in the way of what the export writes.
#pragma once

#include <QString>

#include <memory>

namespace OutputReplacement {

// Why a link at path must not be followed, or empty text: the kernel
// follows a link in a sticky folder that others may write (/tmp) only for
// its owner or the folder's, and a path resolved by Brenvox itself keeps
// that rule by hand.
QString ForeignLinkProblem(const QString &path);

// Removes the export folders in folder that this user's Brenvox processes
// left when they were killed: those whose lock nobody holds any more.
void RemoveAbandonedFolders(const QString &folder);

class TemporaryOutput
{
public:
    // Makes a folder only this user may enter (mode 0700) in the folder of
    // the target, or of the file a link as the target names, so the final
    // rename stays on one file system, and holds a lock in it while it
    // lives; first removes the folders killed exports left there. Null, and
    // *problem says why, when it cannot be made there, when the target
    // exists but could not be replaced by the result (a folder, a read-only
    // file), when it is another user's link in a shared folder, or when
    // without /proc others could rename the folder under the tools.
    static std::shared_ptr<TemporaryOutput> Create(const QString &target, QString *problem = nullptr);
    // Removes the written file and the folder unless the file was put in
    // place.
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput &) = delete;
    TemporaryOutput &operator=(const TemporaryOutput &) = delete;

    // What the tools write: the target's name (ffmpeg picks the format from
    // its extension) in the folder, reached through this process's open
    // descriptor of it, so whatever is put under the folder's name later
    // leads the tools nowhere. Nothing is there until a tool writes it.
    QString File() const;

    // Which protection the target's file system lacks (a FAT or exFAT
    // stick, NTFS through FUSE, SMB: no private folder, no refusal to
    // replace), in one sentence for the user; empty on one that has both.
    QString Lacks() const;

    // Puts the written file in the target's place with one rename, once its
    // data is on the disk, keeping an existing target's permission bits.
    // Without replaceExisting a file that holds the target's name is left as
    // it is and the move fails. Empty text when done, otherwise why not.
    // Takes tens of milliseconds: meant for a worker thread.
    QString PutInPlace(bool replaceExisting) const;

    // Removes the written file and the folder. Called again once the tools
    // have gone, it catches what they wrote after the first call.
    void Remove() const;

private:
    TemporaryOutput() = default;

    int mFolder = -1;    // the private folder, held open
    int mLock = -1;      // its lock, held while the export may use it
    bool mPrivate = true; // the file system keeps owners and modes
    QString mFolderPath; // its name beside the target
    QString mName;
    QString mFile;
    QString mTarget;      // as the user named it, for the messages
    QString mDestination; // the file that is replaced: a link is followed
};

} // namespace OutputReplacement
