// A discarded file's path is free at once, a new file written there
// survives the removal that follows, and nothing is left aside.
#include "jobs/DiscardFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

class tst_DiscardFile : public QObject
{
    Q_OBJECT

private slots:
    void discard_data();
    void discard();
};

void tst_DiscardFile::discard_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("a file") << true;
    QTest::newRow("no file") << false;
}

void tst_DiscardFile::discard()
{
    QFETCH(bool, exists);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Lout.wav"));
    QFile old(path);
    if (exists)
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(1 << 20, 'x')) > 0 && old.flush());
    old.close();

    DiscardFile::Discard(path);
    QVERIFY(!QFileInfo::exists(path));
    QFile next(path);
    QVERIFY(next.open(QIODevice::WriteOnly) && next.write("new") == 3);
    next.close();
    QThreadPool::globalInstance()->waitForDone();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Lout.wav")});
    QCOMPARE(QFileInfo(path).size(), 3);
}

QTEST_GUILESS_MAIN(tst_DiscardFile)
#include "tst_discardfile.moc"
