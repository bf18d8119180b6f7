// The main window by keyboard only, with the real ffmpeg: open a source
// through the dialog, walk the Tab order, set a band with the arrow and page
// keys, preview, export and reset.
#include "BrenvoxSession.h"
#include "Controls.h"

#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"
#include "ui/ImportWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

QString Focused()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

// The window manager's part: the main window is active again once the
// window that took the focus has gone.
bool Activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace

class tst_Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void walk()
    {
        QTemporaryDir files;
        const QString source = files.filePath(QStringLiteral("tones.wav"));
        QVERIFY(AudioMeasure::GenerateStereoTones(1000, 4000, 1, source));
        SetFileDialogAnswer([&](const FileDialogRequest &request) {
            return request.kind == FileDialogRequest::Kind::Open ? source : files.filePath(QStringLiteral("out.flac"));
        });
        BrenvoxSession session;
        MainWindow *form = session.form;
        QVERIFY(Activate(form));
        const auto previews = [&] { return session.toolArguments(QStringLiteral("ffplay")).count(QStringLiteral("--")); };

        QCOMPARE(Focused(), QStringLiteral("Command2"));
        Press(Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(form->SourceImported() && !OpenWindow<ImportWindow>(), 30000);
        QVERIFY(Activate(form));
        // "Open" was disabled meanwhile and passed the focus on.
        Press(Qt::Key_Tab, Qt::ShiftModifier);
        QStringList order;
        do {
            Press(Qt::Key_Tab);
            order << Focused();
        } while (Focused() != QLatin1String("Command2") && order.size() < 20);
        // One stop per band row and per group of choices.
        QCOMPARE(order, (QStringList{"LeftChanelSlider_0", "RightChanelSlider_0", "Slider1_0", "Slider1_1",
                                     "Option1_0", "Option2_0", "Option4_0", "Slider2", "Option3_0",
                                     "Command1_0", "Command1_1", "Command1_2", "AvoidClippingBox",
                                     "AsDrawnBox", "PreampBox_0", "PreampBox_1", "PresetsButton",
                                     "Command2"}));

        // To the 1 kHz band, which the canvas scrolls into view.
        Press(Qt::Key_Tab);
        Press(Qt::Key_Right, Qt::NoModifier, 29);
        QSlider *band = Control<QSlider>(form, "LeftChanelSlider", 29);
        QCOMPARE(QApplication::focusWidget(), band);
        const int left = band->mapTo(Control<QWidget>(form, "Picture1", 0), QPoint()).x();
        QVERIFY(left > 0 && left + band->width() < Control<QWidget>(form, "Picture1", 4)->x() - Control<QWidget>(form, "Picture1", 0)->x());
        Press(Qt::Key_PageUp, Qt::NoModifier, 3);
        QCOMPARE(Control<QLabel>(form, "Label2", 29)->text(), QStringLiteral("+9"));
        Press(Qt::Key_Home);
        Press(Qt::Key_PageUp);
        Press(Qt::Key_Up, Qt::NoModifier, 2);
        QCOMPARE(Control<QLabel>(form, "Label2", 29)->text(), QStringLiteral("+5"));
        QVERIFY(form->session().FilterChain(0).contains(QRegularExpression(QStringLiteral("f=1000:[^,]*:g=5,"))));
        // Back into the row at the band last set.
        Press(Qt::Key_Tab);
        Press(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), band);

        // Space on a slider plays; on a choice it selects.
        Press(Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(previews(), 1, 30000);
        QTRY_VERIFY(!form->PreviewRunning());
        // The preview's window has come and gone.
        QVERIFY(Activate(form));
        while (Focused() != QLatin1String("Option3_0"))
            Press(Qt::Key_Tab);
        Press(Qt::Key_Down);
        Press(Qt::Key_Space);
        QVERIFY(Control<QRadioButton>(form, "Option3", 1)->isChecked());
        QTest::qWait(300);
        QCOMPARE(previews(), 1);

        Press(Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(OpenWindow<ExportWindow>());
        QPointer<ExportWindow> exported = OpenWindow<ExportWindow>();
        QTRY_COMPARE_WITH_TIMEOUT(exported->Label1[8]->text(), QStringLiteral("Completed"), 30000);
        QCOMPARE(AudioMeasure::Channels(files.filePath(QStringLiteral("out.flac"))), 2);
        // The export window has the focus until its button closes it.
        Press(Qt::Key_Space);
        QTRY_VERIFY(!exported);
        QVERIFY(Activate(form));
        Press(Qt::Key_R, Qt::ControlModifier);
        QTRY_COMPARE(band->value(), 0);
        SetFileDialogAnswer(FileDialogAnswer());
    }
};

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
