// The export writes beside the chosen file and puts its result in place in
// one step, so a failed, cancelled or killed export never touches it.
#pragma once

#include <QString>

namespace OutputReplacement {

// Creates an empty hidden file in the target's folder, named
// ".<name>.<random>.<extension>" so ffmpeg still picks the format from the
// extension. Empty text when it cannot be created there, or when the target
// exists but could not be replaced by it (a folder, a read-only file).
QString CreateTemporaryOutput(const QString &target);

// Puts the finished temporary file in the target's place with one
// rename(2), keeping an existing target's permission bits; a link as the
// target is followed so the file it names is replaced. Empty text when
// done, otherwise why not.
QString ReplaceTarget(const QString &temporary, const QString &target);

} // namespace OutputReplacement
