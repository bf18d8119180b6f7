// Sends filter commands to a running player's azmq filter over a local
// socket, speaking ZMTP 3.0 as a DEALER so that a burst of commands (a new
// bandwidth moves every band) reaches the player at once.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

class QSocketNotifier;

class FilterCommandLink : public QObject
{
    Q_OBJECT

public:
    explicit FilterCommandLink(QObject *parent = nullptr);
    ~FilterCommandLink() override;

    // One attempt; false while nothing listens at the path yet (the player
    // binds it once its graph is built) or the path is too long.
    bool Connect(const QString &socketPath);
    void Close();
    bool IsConnected() const;
    // Commands wait for the handshake; each gets one reply, in order.
    void Send(const QStringList &commands);
    // Sent or waiting, without a reply yet.
    int Unanswered() const;

    // The longest socket path the system takes.
    static int MaximumPathLength();

signals:
    // "0 Success" when the filter took the command.
    void Replied(const QString &command, const QString &reply);
    // The other end closed or spoke no ZMTP: no more replies come.
    void Lost();

private:
    void ReadAvailable();
    bool TakeFrames();
    void Flush();
    bool WriteAll(const QByteArray &bytes);
    void Fail();

    int mSocket = -1;
    QSocketNotifier *mNotifier = nullptr;
    QByteArray mInput;
    bool mGreeted = false;
    bool mReady = false;
    QStringList mWaiting;  // not yet sent
    QStringList mSent;     // sent, awaiting replies
    QList<QByteArray> mMessage; // frames of the reply being read
};
