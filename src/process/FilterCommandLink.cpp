// The player's control link over ZeroMQ: a DEALER socket and a monitor that
// tells when its peer goes, both driven by Qt's event loop through the
// descriptors the library gives.
#include "process/FilterCommandLink.h"

#include <QFile>
#include <QSocketNotifier>

#include <zmq.hpp>

#include <cerrno>
#include <string>

namespace {

// The player binds its socket a few tens of milliseconds after it starts,
// and binds it anew each time it builds its graph again.
constexpr int ReconnectMilliseconds = 5;

// Every filter answers "ping" and changes nothing: the reply proves that the
// peer takes commands before the first change needs it.
const QByteArray Probe = QByteArrayLiteral("azmq ping");

// The library gives up on a call when a signal reaches the process.
template<typename Call>
auto Retried(Call call)
{
    for (;;) {
        try {
            return call();
        } catch (const zmq::error_t &error) {
            if (error.num() != EINTR)
                throw;
        }
    }
}

// The descriptor signals only edges: after each signal and each send, the
// socket is asked what it holds until nothing is left.
bool HasInput(zmq::socket_t &socket)
{
    return Retried([&] { return socket.get(zmq::sockopt::events); }) & ZMQ_POLLIN;
}

bool TakeFrame(zmq::socket_t &socket, zmq::message_t &frame)
{
    return Retried([&] { return socket.recv(frame, zmq::recv_flags::dontwait); }).has_value();
}

QSocketNotifier *NotifierOf(zmq::socket_t &socket, QObject *owner)
{
    return new QSocketNotifier(qintptr(socket.get(zmq::sockopt::fd)), QSocketNotifier::Read, owner);
}

void Retire(QSocketNotifier *&notifier)
{
    if (!notifier)
        return;
    // Its own signal may be what brought us here.
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

} // namespace

FilterCommandLink::FilterCommandLink(QObject *parent)
    : QObject(parent)
{
    mAnswerTimer.setSingleShot(true);
    mAnswerTimer.setInterval(AnswerWaitMilliseconds);
    connect(&mAnswerTimer, &QTimer::timeout, this, &FilterCommandLink::Fail);
}

FilterCommandLink::~FilterCommandLink()
{
    Close();
}

bool FilterCommandLink::Connect(const QString &socketPath)
{
    Close();
    mPath = socketPath;
    return !mPath.isEmpty() && Open();
}

void FilterCommandLink::Close()
{
    mAnswerTimer.stop();
    Shut();
}

bool FilterCommandLink::IsOpen() const
{
    return bool(mSocket);
}

bool FilterCommandLink::IsAnswering() const
{
    return mAnswering;
}

void FilterCommandLink::Send(const QStringList &commands)
{
    if (!mSocket)
        return;
    const bool waited = !mUnanswered.isEmpty();
    try {
        for (const QString &command : commands)
            Post(command);
    } catch (const zmq::error_t &) {
        Fail();
        return;
    }
    if (!waited && !mUnanswered.isEmpty())
        mAnswerTimer.start();
    TakeReplies();
}

// A new socket for each peer, so that nothing queued for the one that went
// reaches the next.
bool FilterCommandLink::Open()
{
    Shut();
    try {
        if (!mContext)
            mContext = std::make_unique<zmq::context_t>();
        const std::string monitor = "inproc://player-link-" + std::to_string(++mOpened);
        mSocket = std::make_unique<zmq::socket_t>(*mContext, zmq::socket_type::dealer);
        // Nothing waits for a player that has gone, and a burst never waits
        // for room: the answer timer bounds what piles up.
        mSocket->set(zmq::sockopt::linger, 0);
        mSocket->set(zmq::sockopt::sndhwm, 0);
        mSocket->set(zmq::sockopt::reconnect_ivl, ReconnectMilliseconds);
        if (zmq_socket_monitor(mSocket->handle(), monitor.c_str(), ZMQ_EVENT_DISCONNECTED) != 0)
            throw zmq::error_t();
        mMonitor = std::make_unique<zmq::socket_t>(*mContext, zmq::socket_type::pair);
        mMonitor->set(zmq::sockopt::linger, 0);
        mMonitor->connect(monitor);
        // Refuses at once a path longer than the system takes.
        mSocket->connect("ipc://" + QFile::encodeName(mPath).toStdString());
        mSocketNotifier = NotifierOf(*mSocket, this);
        mMonitorNotifier = NotifierOf(*mMonitor, this);
        Post(QString());
    } catch (const zmq::error_t &) {
        Shut();
        return false;
    }
    connect(mSocketNotifier, &QSocketNotifier::activated, this, &FilterCommandLink::TakeReplies);
    connect(mMonitorNotifier, &QSocketNotifier::activated, this, &FilterCommandLink::TakeEvents);
    // A peer that keeps going away before it answers does not hold off the end.
    if (!mAnswerTimer.isActive())
        mAnswerTimer.start();
    // Until each socket has been asked once, nothing it receives is signalled.
    TakeReplies();
    TakeEvents();
    return true;
}

void FilterCommandLink::Shut()
{
    Retire(mSocketNotifier);
    Retire(mMonitorNotifier);
    mMonitor.reset();
    mSocket.reset();
    mAnswering = false;
    mUnanswered.clear();
}

// The null command stands for the probe.
void FilterCommandLink::Post(const QString &command)
{
    const QByteArray text = command.isNull() ? Probe : command.toUtf8();
    // The REP end takes each request behind the empty delimiter a REQ sends.
    const auto sent = [&](zmq::const_buffer frame, zmq::send_flags flags) {
        return Retried([&] { return mSocket->send(frame, flags | zmq::send_flags::dontwait); });
    };
    if (!sent(zmq::const_buffer(), zmq::send_flags::sndmore)
        || !sent(zmq::const_buffer(text.constData(), size_t(text.size())), zmq::send_flags::none))
        throw zmq::error_t();
    mUnanswered << command;
}

void FilterCommandLink::TakeReplies()
{
    const int opened = mOpened;
    try {
        while (mSocket && mOpened == opened && HasInput(*mSocket)) {
            zmq::message_t frame;
            if (!TakeFrame(*mSocket, frame))
                break;
            if (frame.more() || mUnanswered.isEmpty())
                continue; // the delimiter
            const QString command = mUnanswered.takeFirst();
            if (mUnanswered.isEmpty())
                mAnswerTimer.stop();
            else
                mAnswerTimer.start();
            if (command.isNull())
                mAnswering = true;
            else
                emit Replied(command, QString::fromUtf8(frame.data<char>(), int(frame.size())));
        }
    } catch (const zmq::error_t &) {
        Fail();
    }
}

void FilterCommandLink::TakeEvents()
{
    try {
        zmq::message_t event;
        // Only the peer's going is watched.
        if (!mMonitor || !HasInput(*mMonitor) || !TakeFrame(*mMonitor, event))
            return;
    } catch (const zmq::error_t &) {
        Fail();
        return;
    }
    if (!Open()) {
        Fail();
        return;
    }
    emit Lost();
}

void FilterCommandLink::Fail()
{
    Close();
    emit NoAnswer();
}
