// A pipe from one child process to another, made by Brenvox and handed to
// both through ToolRun::PassDescriptor.
#pragma once

class ChildPipe
{
public:
    // Both ends close on exec and lie above the descriptors a child is
    // handed them as, so handing one over never overwrites the other.
    ChildPipe();
    // Brenvox's copies: closed once both children have started, so each
    // child sees the other's end close when the other child ends (end of
    // file for the reader, a broken pipe for the writer) and none waits
    // on Brenvox.
    ~ChildPipe();
    ChildPipe(const ChildPipe &) = delete;
    ChildPipe &operator=(const ChildPipe &) = delete;

    bool IsOpen() const;
    int ReadEnd() const { return mEnds[0]; }
    int WriteEnd() const { return mEnds[1]; }
    void Close();

    // Descriptors below this are free for a child's ends.
    static constexpr int LowestOwnDescriptor = 10;

private:
    int mEnds[2] = {-1, -1};
};
