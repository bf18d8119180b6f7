// The main window and the progress windows as a screen reader finds them,
// through Qt's accessibility interface.
#include "StartedMainWindow.h"

#include "export/Form3.h"
#include "import/Form2.h"
#include "preview/Form4.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QtTest>

#include <memory>

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        mWindow = std::make_unique<StartedMainWindow>();
        QVERIFY(mWindow->isValid());
    }

    void cleanupTestCase() { mWindow.reset(); }

    // Every control, the 130 band sliders included, is told apart by name.
    void everyControlHasItsOwnName()
    {
        QSet<QString> names;
        int controls = 0;
        for (QWidget *widget : mWindow->form->findChildren<QWidget *>()) {
            if (!qobject_cast<QAbstractSlider *>(widget) && !qobject_cast<QAbstractButton *>(widget)
                && !qobject_cast<QLineEdit *>(widget) && !qobject_cast<QPlainTextEdit *>(widget))
                continue;
            // A chain box's own scroll bars are read as part of the box; the
            // progress windows are windows of their own.
            if ((qobject_cast<QScrollBar *>(widget) && widget != mWindow->form->HScroll1)
                || widget->window() != mWindow->form)
                continue;
            QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(control);
            const QString name = control->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
            QVERIFY2(!names.contains(name), qPrintable(name));
            names.insert(name);
            if (qobject_cast<QSlider *>(widget)) {
                QVERIFY2(control->valueInterface(), qPrintable(name));
                QVERIFY2(!control->text(QAccessible::Value).isEmpty(), qPrintable(name));
            }
            ++controls;
        }
        // Bands, levels, bandwidth, scroll bar; buttons, choices; text boxes.
        QCOMPARE(controls, 130 + 2 + 1 + 1 + 4 + 9 + 3);
    }

    void whatIsHeard_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("position"); // a slider's, set first
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        const int slider = QAccessible::Slider;
        QTest::newRow("main window") << "Form1" << 0 << int(QAccessible::Window) << "Brenvox" << "";
        QTest::newRow("left row") << "Picture1_2" << 0 << int(QAccessible::Grouping) << "Left channel" << "";
        QTest::newRow("right row") << "Picture1_3" << 0 << int(QAccessible::Grouping) << "Right channel" << "";
        QTest::newRow("row caption") << "RightChanelCaption" << 0 << int(QAccessible::StaticText)
                                     << "Right channel" << "";
        QTest::newRow("boost") << "LeftChanelSlider_29" << -5 << slider << "Left 1K band" << "+5 dB";
        QTest::newRow("cut") << "RightChanelSlider_0" << 3 << slider << "Right 19 Hz band" << "-3 dB";
        QTest::newRow("flat") << "RightChanelSlider_64" << 0 << slider << "Right 20K band" << "0 dB";
        QTest::newRow("level") << "Slider1_0" << -5 << slider << "Left gain level" << "+1.25";
        QTest::newRow("level 0") << "Slider1_1" << 0 << slider << "Right gain level" << "0";
        QTest::newRow("bandwidth") << "Slider2" << 1 << slider << "Bandwidth" << "1 octave";
        QTest::newRow("bandwidths") << "Slider2" << 3 << slider << "Bandwidth" << "3 octaves";
        QTest::newRow("terse choice") << "Option2_1" << 0 << int(QAccessible::RadioButton)
                                      << "Low cut filter on" << "";
        QTest::newRow("button") << "Command1_1" << 0 << int(QAccessible::Button) << "Save As" << "";
    }

    void whatIsHeard()
    {
        QFETCH(QString, control);
        QFETCH(int, position);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, value);
        Form1 *form = mWindow->form;
        QWidget *widget = control == QLatin1String("Form1") ? form : form->findChild<QWidget *>(control);
        QVERIFY(widget);
        if (auto *slider = qobject_cast<QSlider *>(widget))
            slider->setValue(position);
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(heard);
        QCOMPARE(int(heard->role()), role);
        QCOMPARE(heard->text(QAccessible::Name), name);
        QCOMPARE(heard->text(QAccessible::Value), value);
    }

    // A value set by assistive technology is a move of the band as the
    // user's: readout and chain follow; the number is the gain in dB.
    void valueSetByAssistiveTechnology()
    {
        Form1 *form = mWindow->form;
        QAccessibleValueInterface *band =
            QAccessible::queryAccessibleInterface(form->LeftChanelSlider[29])->valueInterface();
        band->setCurrentValue(4);
        QCOMPARE(form->LeftChanelSlider[29]->value(), -4);
        QCOMPARE(band->currentValue().toDouble(), 4.0);
        QCOMPARE(form->Label2[29]->text(), QStringLiteral("+4"));
        QVERIFY(Shared().LeftFilterChain.contains(QRegularExpression(QStringLiteral("f=1000:[^,]*:g=4,"))));
        QCOMPARE(band->maximumValue().toDouble(), 12.0);
    }

    void progressWindows_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("name");
        QTest::newRow("import") << 2 << "Inspecting Audio";
        QTest::newRow("export") << 3 << "Saving Audio";
        QTest::newRow("preview") << 4 << "Creating Preview";
    }

    void progressWindows()
    {
        QFETCH(int, window);
        QFETCH(QString, name);
        Form1 *form = mWindow->form;
        QWidget *loaded = window == 2 ? static_cast<QWidget *>(Form2::Load(form))
            : window == 3             ? static_cast<QWidget *>(Form3::Load(form))
                                      : static_cast<QWidget *>(Form4::Load(form));
        QVERIFY(loaded);
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(loaded);
        QCOMPARE(int(heard->role()), int(QAccessible::Window));
        QCOMPARE(heard->text(QAccessible::Name), name);
        Form2::UnloadIfLoaded();
        Form3::UnloadIfLoaded();
        Form4::UnloadIfLoaded();
    }

private:
    std::unique_ptr<StartedMainWindow> mWindow;
};

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
