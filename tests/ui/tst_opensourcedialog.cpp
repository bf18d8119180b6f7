// The open dialog's file kinds as Qt's own file dialog reads them.
#include "ui/OpenSourceDialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QtTest>

class TestOpenSourceDialog : public QObject
{
    Q_OBJECT

private slots:
    void patternsQtApplies_data();
    void patternsQtApplies();
};

void TestOpenSourceDialog::patternsQtApplies_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("patterns");

    QTest::newRow("WAV") << 0 << "Wav Files (*.wav)" << QStringList{QStringLiteral("*.wav")};
    // No dot: every name that ends in mp3.
    QTest::newRow("MP3") << 1 << "MP3 Files (*.mp3)" << QStringList{QStringLiteral("*mp3")};
    QTest::newRow("AVI") << 2 << "AVI Files (*.avi)" << QStringList{QStringLiteral("*.avi")};
    QTest::newRow("MP4") << 3 << "MP4 Files (*.mp4)" << QStringList{QStringLiteral("*.mp4")};
    QTest::newRow("All") << 4 << "All Files (*.*)" << QStringList{QStringLiteral("*")};
}

void TestOpenSourceDialog::patternsQtApplies()
{
    QFETCH(int, entry);
    QFETCH(QString, label);
    QFETCH(QStringList, patterns);

    const FileDialogRequest request = OpenSourceDialogRequest();
    QCOMPARE(request.title, QStringLiteral("Open File"));
    QCOMPARE(request.nameFilters.size(), 5);
    QVERIFY(request.nameFilters[entry].startsWith(label));
    QCOMPARE(request.selectedNameFilter, request.nameFilters[4]);

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.nameFilters);
    dialog.selectNameFilter(request.nameFilters[entry]);
    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    QCOMPARE(model->nameFilters(), patterns);
    // What the user reads is the label alone.
    auto *kinds = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QVERIFY(kinds);
    QCOMPARE(kinds->itemText(entry), label);
}

QTEST_MAIN(TestOpenSourceDialog)
#include "tst_opensourcedialog.moc"
