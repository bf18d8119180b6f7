#include "process/ChildPipe.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// A megabyte holds seconds of a channel: a writer rarely waits for its
// reader, and each switch between them moves more at once.
constexpr int Capacity = 1 << 20;

int Raised(int descriptor)
{
    const int raised = ::fcntl(descriptor, F_DUPFD_CLOEXEC, ChildPipe::LowestOwnDescriptor);
    ::close(descriptor);
    return raised;
}

} // namespace

ChildPipe::ChildPipe()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    mEnds[0] = Raised(ends[0]);
    mEnds[1] = Raised(ends[1]);
    if (!IsOpen()) {
        Close();
        return;
    }
    // Beyond the system's limit for this user it keeps the default.
    ::fcntl(mEnds[1], F_SETPIPE_SZ, Capacity);
}

ChildPipe::~ChildPipe()
{
    Close();
}

bool ChildPipe::IsOpen() const
{
    return mEnds[0] >= 0 && mEnds[1] >= 0;
}

void ChildPipe::Close()
{
    for (int &end : mEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}
