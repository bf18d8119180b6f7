// The real open, save and choice dialogs as the user first sees them.
#include "ui/ChoiceDialog.h"
#include "ui/FileDialogs.h"

#include "StartedMainWindow.h"

#include <QComboBox>
#include <QFile>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>
#include <QtTest>

#include <memory>

class tst_FileDialogs : public QObject
{
    Q_OBJECT

private slots:
    void selectedFileType_data();
    void selectedFileType();
    void choiceReachesTheCaller_data();
    void choiceReachesTheCaller();
};

void tst_FileDialogs::choiceReachesTheCaller_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("the first, as offered") << 0 << true << "L1";
    QTest::newRow("another") << 2 << true << "L3";
    QTest::newRow("cancelled") << 1 << false << "";
}

// Opened window-modal without a loop of its own; what the list shows when
// accepted is what the caller gets, and a cancel gives nothing.
void tst_FileDialogs::choiceReachesTheCaller()
{
    QFETCH(int, index);
    QFETCH(bool, accept);
    QFETCH(QString, chosen);
    QWidget parent;
    parent.show();
    QPointer<QInputDialog> shown;
    SetChoiceWatcher([&](QInputDialog &dialog) { shown = &dialog; });
    QString got;
    ShowChoiceDialog(&parent, {QStringLiteral("ListenerDialog"), QStringLiteral("Import Profile"), QStringLiteral("Which?"),
                               {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")}},
                     [&](const QString &item) { got = item; });
    SetChoiceWatcher({});
    QVERIFY(shown && shown->objectName() == QLatin1String("ListenerDialog"));
    QTRY_VERIFY(shown->isVisible());
    QCOMPARE(shown->windowModality(), Qt::WindowModal);
    auto *list = shown->findChild<QComboBox *>();
    QVERIFY(list && list->currentIndex() == 0);
    list->setCurrentIndex(index);
    const auto button = accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel;
    shown->findChild<QDialogButtonBox *>()->button(button)->click();
    QCOMPARE(got, chosen);
    QTRY_VERIFY(!shown);
}

void tst_FileDialogs::selectedFileType_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("chosen"); // the type the user then picks
    QTest::addColumn<QString>("suffix"); // what a name typed without one gets

    QTest::newRow("Open") << "Command2" << "Open File" << 4 << "All Files (*.*)" << 4 << "";
    QTest::newRow("Save As, then Opus") << "Command1_1" << "Save As" << 0 << "Wav Files (*.wav)" << 3 << "opus";
}

void tst_FileDialogs::selectedFileType()
{
    QFETCH(QString, button);
    QFETCH(QString, title);
    QFETCH(int, entry);
    QFETCH(QString, label);
    QFETCH(int, chosen);

    StartedMainWindow window;
    QVERIFY(window.isValid());
    // Save As waits for a source: channel files as an import leaves them.
    for (const QString &channelFile : {window.session.LeftSourceWav(), window.session.RightSourceWav()}) {
        QFile file(channelFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("RIFF");
    }
    { const SequenceScope imported(&window.session); }
    QString shownTitle;
    int shownEntry = -1;
    QString shownLabel, shownSuffix;
    SetFileDialogWatcher([&](QFileDialog &dialog) {
        // Read once the dialog shows, as the user meets it.
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(dialog.isVisible());
            shownTitle = dialog.windowTitle();
            auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            shownEntry = types->currentIndex();
            shownLabel = dialog.selectedNameFilter();
            emit types->textActivated(types->itemText(chosen));
            shownSuffix = dialog.defaultSuffix();
            dialog.reject();
        });
    });
    window.form->findChild<QPushButton *>(button)->click();
    SetFileDialogWatcher({});

    // The dialog opens without a loop of its own: the click has returned.
    QTRY_COMPARE(shownTitle, title);
    QCOMPARE(shownEntry, entry);
    QCOMPARE(shownLabel, label);
    QTEST(shownSuffix, "suffix");
}

QTEST_MAIN(tst_FileDialogs)
#include "tst_filedialogs.moc"
