// ZMTP 3.0 with the NULL mechanism over a Unix socket, just enough to talk to
// ffmpeg's azmq filter (a REP socket) without a messaging library.
#include "process/FilterCommandLink.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int GreetingSize = 64;
constexpr char FlagMore = 0x01;
constexpr char FlagLong = 0x02;
constexpr char FlagCommand = 0x04;
constexpr int WriteWaitMilliseconds = 1000;

QByteArray Greeting()
{
    QByteArray greeting(GreetingSize, '\0');
    greeting[0] = char(0xFF);
    greeting[9] = 0x7F;
    greeting[10] = 3; // version 3.0
    greeting[11] = 0;
    std::memcpy(greeting.data() + 12, "NULL", 4);
    return greeting; // as-server 0 and the filler stay zero
}

QByteArray Frame(char flags, const QByteArray &body)
{
    QByteArray frame;
    if (body.size() > 255) {
        frame += char(flags | FlagLong);
        const quint64 size = quint64(body.size());
        for (int shift = 56; shift >= 0; shift -= 8)
            frame += char((size >> shift) & 0xFF);
    } else {
        frame += flags;
        frame += char(body.size());
    }
    return frame + body;
}

// A DEALER may send many requests before the replies come, where a REQ
// would wait for each reply.
QByteArray ReadyCommand()
{
    QByteArray body;
    body += char(5);
    body += "READY";
    body += char(11);
    body += "Socket-Type";
    const QByteArray type("DEALER");
    body += QByteArray(3, '\0') + char(type.size()) + type;
    return Frame(FlagCommand, body);
}

} // namespace

FilterCommandLink::FilterCommandLink(QObject *parent)
    : QObject(parent)
{
}

FilterCommandLink::~FilterCommandLink()
{
    Close();
}

int FilterCommandLink::MaximumPathLength()
{
    return int(sizeof(sockaddr_un::sun_path)) - 1;
}

bool FilterCommandLink::Connect(const QString &socketPath)
{
    Close();
    const QByteArray path = QFile::encodeName(socketPath);
    if (path.isEmpty() || path.size() > MaximumPathLength())
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(socket);
        return false;
    }
    mSocket = socket;
    mNotifier = new QSocketNotifier(qintptr(socket), QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &FilterCommandLink::ReadAvailable);
    if (!WriteAll(Greeting() + ReadyCommand())) {
        Close();
        return false;
    }
    return true;
}

void FilterCommandLink::Close()
{
    delete mNotifier;
    mNotifier = nullptr;
    if (mSocket >= 0)
        ::close(mSocket);
    mSocket = -1;
    mInput.clear();
    mGreeted = mReady = false;
    mWaiting.clear();
    mSent.clear();
    mMessage.clear();
}

bool FilterCommandLink::IsConnected() const
{
    return mSocket >= 0;
}

void FilterCommandLink::Send(const QStringList &commands)
{
    mWaiting += commands;
    Flush();
}

int FilterCommandLink::Unanswered() const
{
    return int(mWaiting.size() + mSent.size());
}

void FilterCommandLink::Flush()
{
    if (!mReady || mWaiting.isEmpty())
        return;
    // The REP end wants each request behind an empty delimiter frame, as a
    // REQ would send it.
    QByteArray bytes;
    for (const QString &command : std::as_const(mWaiting))
        bytes += Frame(FlagMore, QByteArray()) + Frame(0, command.toUtf8());
    mSent += mWaiting;
    mWaiting.clear();
    if (!WriteAll(bytes))
        Fail();
}

bool FilterCommandLink::WriteAll(const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t now = ::send(mSocket, bytes.constData() + written,
                                   size_t(bytes.size() - written), MSG_NOSIGNAL);
        if (now > 0) {
            written += now;
            continue;
        }
        if (now < 0 && errno == EINTR)
            continue;
        if (now < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{mSocket, POLLOUT, 0};
            if (::poll(&wait, 1, WriteWaitMilliseconds) > 0)
                continue;
        }
        return false;
    }
    return true;
}

void FilterCommandLink::ReadAvailable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t now = ::recv(mSocket, buffer, sizeof buffer, 0);
        if (now > 0) {
            mInput.append(buffer, int(now));
            continue;
        }
        if (now < 0 && errno == EINTR)
            continue;
        if (now < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        Fail(); // closed
        return;
    }
    if (!TakeFrames())
        Fail();
}

bool FilterCommandLink::TakeFrames()
{
    if (!mGreeted) {
        if (mInput.size() < GreetingSize)
            return true;
        if (quint8(mInput[0]) != 0xFF || mInput[9] != 0x7F || mInput[10] < 3)
            return false;
        mInput.remove(0, GreetingSize);
        mGreeted = true;
    }
    while (!mInput.isEmpty()) {
        const char flags = mInput[0];
        const int headerSize = (flags & FlagLong) ? 9 : 2;
        if (mInput.size() < headerSize)
            return true;
        quint64 size = 0;
        if (flags & FlagLong) {
            for (int i = 1; i < 9; ++i)
                size = (size << 8) | quint8(mInput[i]);
        } else {
            size = quint8(mInput[1]);
        }
        if (size > quint64(1 << 20))
            return false;
        if (quint64(mInput.size()) < headerSize + size)
            return true;
        const QByteArray body = mInput.mid(headerSize, qsizetype(size));
        mInput.remove(0, headerSize + qsizetype(size));
        if (flags & FlagCommand) {
            if (body.startsWith("\x05READY")) {
                mReady = true;
                Flush();
            } else if (body.startsWith("\x05" "ERROR")) {
                return false;
            }
            continue;
        }
        mMessage << body;
        if (flags & FlagMore)
            continue;
        const QList<QByteArray> message = std::exchange(mMessage, {});
        if (mSent.isEmpty())
            return false;
        const QString command = mSent.takeFirst();
        emit Replied(command, QString::fromUtf8(message.last()));
        if (mSocket < 0)
            return true; // closed by a receiver
    }
    return true;
}

void FilterCommandLink::Fail()
{
    const bool wasOpen = mSocket >= 0;
    Close();
    if (wasOpen)
        emit Lost();
}
