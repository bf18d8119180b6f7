// The player's control link against a stand-in for azmq made with the same library.
#include "process/FilterCommandLink.h"

#include <QScopeGuard>
#include <QtTest>

#include <zmq.hpp>

#include <atomic>
#include <thread>

class tst_FilterCommandLink : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
};

void tst_FilterCommandLink::replies_data()
{
    QTest::addColumn<int>("bindAfterMilliseconds");
    QTest::addColumn<bool>("answers");
    QTest::addColumn<int>("commands");

    QTest::newRow("nothing to send") << 0 << true << 0;
    QTest::newRow("sent before the peer binds") << 300 << true << 3;
    QTest::newRow("a burst over every band") << 0 << true << 65;
    QTest::newRow("bound, never answers") << 0 << false << 1;
}

// The peer is heard from before any command needs it; each command gets its
// own reply, in the order sent; a peer that answers nothing ends the link.
void tst_FilterCommandLink::replies()
{
    QFETCH(int, bindAfterMilliseconds);
    QFETCH(bool, answers);
    QFETCH(int, commands);
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("preview.sock"));
    FilterCommandLink link;
    QSignalSpy replied(&link, &FilterCommandLink::Replied);
    QSignalSpy silent(&link, &FilterCommandLink::NoAnswer);
    QVERIFY(link.Connect(path));
    QStringList sent;
    for (int band = 0; band < commands; ++band)
        sent << QStringLiteral("equalizer@L%1 g %2").arg(band).arg(band % 25 - 12);
    if (!sent.isEmpty())
        link.Send(sent);
    // A REP socket as azmq's, answering "0 Success" and the request.
    std::atomic<bool> stop{false};
    std::thread peer([&] {
        zmq::context_t context;
        zmq::socket_t socket(context, zmq::socket_type::rep);
        socket.set(zmq::sockopt::linger, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(bindAfterMilliseconds));
        socket.bind("ipc://" + QFile::encodeName(path).toStdString());
        zmq::pollitem_t item{socket.handle(), 0, short(answers ? ZMQ_POLLIN : 0), 0};
        for (zmq::message_t request; !stop;)
            if (zmq::poll(&item, 1, std::chrono::milliseconds(10)) > 0
                && socket.recv(request, zmq::recv_flags::dontwait))
                socket.send(zmq::buffer("0 Success\n" + request.to_string()));
    });
    const auto joined = qScopeGuard([&] { stop = true; peer.join(); });
    QTRY_VERIFY_WITH_TIMEOUT(answers ? link.IsAnswering() && replied.size() == commands : !silent.isEmpty(),
                             4 * FilterCommandLink::AnswerWaitMilliseconds);
    QCOMPARE(replied.size(), answers ? commands : 0);
    for (int i = 0; i < replied.size(); ++i)
        QCOMPARE(replied[i], (QVariantList{sent[i], QString("0 Success\n" + sent[i])}));
    QCOMPARE(silent.size(), answers ? 0 : 1);
    QCOMPARE(link.IsOpen(), answers);
}

QTEST_GUILESS_MAIN(tst_FilterCommandLink)
#include "tst_filtercommandlink.moc"
