// The main window and the progress windows as a screen reader finds them,
// through Qt's accessibility interface.
#include "StartedMainWindow.h"

#include "ui/Form3.h"
#include "ui/Form2.h"
#include "ui/Form4.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QtTest>

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mWindow.isValid()); }

    // Every control, the 130 band sliders included, is told apart by name.
    void everyControlHasItsOwnName()
    {
        QSet<QString> names;
        for (QWidget *widget : mWindow.form->findChildren<QWidget *>()) {
            // A chain box's scroll bars are read as part of the box.
            const bool control = (qobject_cast<QAbstractSlider *>(widget) && !qobject_cast<QScrollBar *>(widget))
                || widget == mWindow.form->HScroll1 || qobject_cast<QAbstractButton *>(widget)
                || qobject_cast<QLineEdit *>(widget) || qobject_cast<QPlainTextEdit *>(widget);
            if (!control || widget->window() != mWindow.form)
                continue;
            QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(widget);
            const QString name = heard->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(widget->objectName() + name));
            names.insert(name);
            if (qobject_cast<QSlider *>(widget))
                QVERIFY2(!heard->text(QAccessible::Value).isEmpty(), qPrintable(name));
        }
        // Sliders and scroll bar; buttons, "Presets", choices and check boxes; text boxes.
        QCOMPARE(names.size(), 130 + 3 + 1 + 4 + 1 + 9 + 2 + 3);
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
        QTest::newRow("band row") << "Picture1_2" << 0 << int(QAccessible::Grouping) << "Left channel" << "";
        QTest::newRow("row caption") << "RightChanelCaption" << 0 << int(QAccessible::StaticText)
                                     << "Right channel" << "";
        // Before "boost" moves a band.
        QTest::newRow("curve's peak") << "PeakLabel_0" << 0 << int(QAccessible::StaticText)
                                      << "Left: Peak +0.0 dB" << "";
        QTest::newRow("check box") << "AvoidClippingBox" << 0 << int(QAccessible::CheckBox) << "Avoid clipping" << "";
        QTest::newRow("boost") << "LeftChanelSlider_29" << -5 << slider << "Left 1K band" << "+5 dB";
        QTest::newRow("cut") << "RightChanelSlider_0" << 3 << slider << "Right 19 Hz band" << "-3 dB";
        QTest::newRow("level") << "Slider1_0" << -5 << slider << "Left gain level" << "+1.25";
        QTest::newRow("bandwidth") << "Slider2" << 1 << slider << "Bandwidth" << "1 octave";
        QTest::newRow("terse choice") << "Option2_1" << 0 << int(QAccessible::RadioButton)
                                      << "Low cut filter on" << "";
    }

    void whatIsHeard()
    {
        QFETCH(QString, control);
        QFETCH(int, position);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QWidget *widget = control == QLatin1String("Form1") ? mWindow.form : mWindow.form->findChild<QWidget *>(control);
        if (auto *slider = qobject_cast<QSlider *>(widget))
            slider->setValue(position);
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(int(heard->role()), role);
        QCOMPARE(heard->text(QAccessible::Name), name);
        QCOMPARE(heard->text(QAccessible::Value), value);
    }

    // A value set by assistive technology, a gain in dB, moves the band as
    // the user does: readout and chain follow.
    void valueSetByAssistiveTechnology()
    {
        QAccessibleValueInterface *band =
            QAccessible::queryAccessibleInterface(mWindow.form->LeftChanelSlider[29])->valueInterface();
        band->setCurrentValue(4);
        QCOMPARE(mWindow.form->Label2[29]->text(), QStringLiteral("+4"));
        QVERIFY(Shared().LeftFilterChain.contains(QRegularExpression(QStringLiteral("f=1000:[^,]*:g=4,"))));
        QCOMPARE(band->maximumValue().toDouble(), 12.0);
    }

    void progressWindowsSayWhatTheyDo()
    {
        QStringList names;
        for (QWidget *window : {static_cast<QWidget *>(Form2::Load(mWindow.form)),
                                static_cast<QWidget *>(Form3::Load(mWindow.form)),
                                static_cast<QWidget *>(Form4::Load(mWindow.form))}) {
            QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(window);
            QCOMPARE(int(heard->role()), int(QAccessible::Window));
            names << heard->text(QAccessible::Name);
        }
        QCOMPARE(names, (QStringList{"Inspecting Audio", "Saving Audio", "Audio Preview"}));
        Form3::UnloadIfLoaded();
        Form4::UnloadIfLoaded();
    }

private:
    StartedMainWindow mWindow;
};

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
