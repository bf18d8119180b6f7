// Files dropped on the real main window: one file is imported as Open does;
// anything else is refused with a reason on the status line.
#include "Controls.h"
#include "StartedMainWindow.h"

#include "ui/ImportWindow.h"

#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

class tst_GivenFiles : public QObject
{
    Q_OBJECT

private slots:
    void drop_data()
    {
        QTest::addColumn<QStringList>("urls"); // <file>, <other>, <folder> stand for real paths
        QTest::addColumn<QString>("refusal");  // empty: the import starts
        QTest::newRow("one file") << QStringList{"<file>"} << "";
        QTest::newRow("two files") << QStringList{"<file>", "<other>"} << "Brenvox opens one file at a time";
        QTest::newRow("a folder") << QStringList{"<folder>"} << "is a folder";
        QTest::newRow("a web address") << QStringList{"https://example.org/a.mp3"} << "Only a file on this computer";
        QTest::newRow("a missing file") << QStringList{"<missing>"} << "cannot be found";
    }

    void drop()
    {
        QFETCH(QStringList, urls);
        QFETCH(QString, refusal);
        StartedMainWindow started;
        QVERIFY(started.isValid());
        const QString file = started.app.scratchPath(QStringLiteral("song.wav"));
        const QString other = started.app.scratchPath(QStringLiteral("other.wav"));
        for (const QString &path : {file, other}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QList<QUrl> dropped;
        for (const QString &url : urls) {
            if (url == QLatin1String("<file>"))
                dropped << QUrl::fromLocalFile(file);
            else if (url == QLatin1String("<other>"))
                dropped << QUrl::fromLocalFile(other);
            else if (url == QLatin1String("<folder>"))
                dropped << QUrl::fromLocalFile(started.app.scratchPath(QString()));
            else if (url == QLatin1String("<missing>"))
                dropped << QUrl::fromLocalFile(started.app.scratchPath(QStringLiteral("gone.wav")));
            else
                dropped << QUrl(url);
        }
        QMimeData data;
        data.setUrls(dropped);
        const QPoint centre = started.form->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(started.form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(started.form, &drop);

        ImportWindow *importWindow = OpenWindow<ImportWindow>();
        if (refusal.isEmpty()) {
            QVERIFY(importWindow && importWindow->isVisible());
            QCOMPARE(Control<QLineEdit>(started.form, "Text1")->text(), file);
            started.form->CloseImportWindow();
        } else {
            QVERIFY(!importWindow || !importWindow->isVisible());
            QVERIFY2(Control<QLabel>(started.form, "StatusLine")->text().contains(refusal),
                     qPrintable(Control<QLabel>(started.form, "StatusLine")->text()));
            QVERIFY(started.session.SourceFile().isEmpty());
        }
    }
};

QTEST_MAIN(tst_GivenFiles)
#include "tst_givenfiles.moc"
