// Sends filter commands to a running player's azmq filter (a REP socket)
// through ZeroMQ, as a DEALER so that a burst of commands (a new bandwidth
// moves every band) reaches the player at once and the replies follow in order.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class QSocketNotifier;

namespace zmq {
class context_t;
class socket_t;
}

class FilterCommandLink : public QObject
{
    Q_OBJECT

public:
    // A peer that leaves a message unanswered this long never will: nothing
    // bound the socket, or what did takes no commands.
    static constexpr int AnswerWaitMilliseconds = 3000;

    explicit FilterCommandLink(QObject *parent = nullptr);
    ~FilterCommandLink() override;

    // Once per player, before or after it binds the socket: what is sent
    // meanwhile waits for it. False for a path the system cannot take.
    bool Connect(const QString &socketPath);
    void Close();
    bool IsOpen() const;
    // The peer has answered since it was reached.
    bool IsAnswering() const;
    // Each command gets one reply, in order.
    void Send(const QStringList &commands);

signals:
    // "0 Success" when the filter took the command.
    void Replied(const QString &command, const QString &reply);
    // The peer went away with what it had not answered; the link waits for
    // the next one at the same path, which knows nothing sent before.
    void Lost();
    // Nothing answered in time; the link is closed.
    void NoAnswer();

private:
    bool Open();
    void Shut();
    void Post(const QString &command);
    void TakeReplies();
    void TakeEvents();
    void Fail();

    std::unique_ptr<zmq::context_t> mContext;
    std::unique_ptr<zmq::socket_t> mSocket;
    std::unique_ptr<zmq::socket_t> mMonitor; // tells when the peer goes
    QSocketNotifier *mSocketNotifier = nullptr;
    QSocketNotifier *mMonitorNotifier = nullptr;
    QTimer mAnswerTimer;
    QString mPath;
    int mOpened = 0; // sockets made so far, naming each one's monitor
    bool mAnswering = false;
    QStringList mUnanswered; // in the order sent
};
