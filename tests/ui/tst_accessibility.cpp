// The main window and the progress windows as a screen reader finds them,
// through Qt's accessibility interface.
#include "BrenvoxSession.h"
#include "Controls.h"
#include "ui/mainwindow/PreviewController.h"
#include "StartedMainWindow.h"

#include "ui/FileDialogs.h"
#include "ui/ExportWindow.h"
#include "ui/ImportWindow.h"
#include "ui/PreviewWindow.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QFileInfo>
#include <QtTest>

#include <memory>

class tst_Accessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mWindow->isValid()); }

    // Every control, the 130 band sliders included, is told apart by name.
    void everyControlHasItsOwnName()
    {
        QSet<QString> names;
        for (QWidget *widget : mWindow->form->findChildren<QWidget *>()) {
            // A chain box's scroll bars and a spin box's text are read as
            // part of the box.
            const bool control = (qobject_cast<QAbstractSlider *>(widget) && !qobject_cast<QScrollBar *>(widget))
                || widget == Control<QScrollBar>(mWindow->form, "HScroll1") || qobject_cast<QAbstractButton *>(widget)
                || qobject_cast<QAbstractSpinBox *>(widget)
                || (qobject_cast<QLineEdit *>(widget) && !qobject_cast<QAbstractSpinBox *>(widget->parent()))
                || qobject_cast<QPlainTextEdit *>(widget);
            if (!control || widget->window() != mWindow->form)
                continue;
            QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(widget);
            const QString name = heard->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && !names.contains(name), qPrintable(widget->objectName() + name));
            names.insert(name);
            if (qobject_cast<QSlider *>(widget))
                QVERIFY2(!heard->text(QAccessible::Value).isEmpty(), qPrintable(name));
        }
        // Sliders and scroll bar; buttons, "Presets", choices and check boxes; text boxes; preamps.
        QCOMPARE(names.size(), 130 + 3 + 1 + 4 + 1 + 9 + 2 + 3 + 2);
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
        QWidget *widget = control == QLatin1String("Form1") ? mWindow->form : mWindow->form->findChild<QWidget *>(control);
        if (auto *slider = qobject_cast<QSlider *>(widget))
            slider->setValue(position);
        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(int(heard->role()), role);
        QCOMPARE(heard->text(QAccessible::Name), name);
        QCOMPARE(heard->text(QAccessible::Value), value);
    }

    // A value set by assistive technology, in dB, moves the control as the
    // user does: what shows it and the chain follow.
    void valueSetByAssistiveTechnology_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shows"); // a label's name and its text
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("chain"); // in the left chain, else the right
        QTest::newRow("band") << "LeftChanelSlider_29" << 4.0 << "Label2_29" << "+4" << "f=1000:[^,]*:g=4,";
        QTest::newRow("preamp") << "PreampBox_1" << -3.5 << "PeakLabel_1" << "Right: Peak -3.5 dB" << "^volume=-3.5dB,";
    }

    void valueSetByAssistiveTechnology()
    {
        QFETCH(QString, control);
        QFETCH(double, value);
        QFETCH(QString, shows);
        QFETCH(QString, text);
        QFETCH(QString, chain);
        QAccessibleValueInterface *heard =
            QAccessible::queryAccessibleInterface(mWindow->form->findChild<QWidget *>(control))->valueInterface();
        heard->setCurrentValue(value);
        QCOMPARE(mWindow->form->findChild<QLabel *>(shows)->text(), text);
        const QString chains = mWindow->session.FilterChain(0) + QLatin1Char('\n') + mWindow->session.FilterChain(1);
        QVERIFY2(chains.contains(QRegularExpression(chain, QRegularExpression::MultilineOption)), qPrintable(chains));
        QCOMPARE(heard->maximumValue().toDouble(), 12.0);
    }

    void progressWindowsSayWhatTheyDo()
    {
        QStringList names;
        for (QWidget *window : {static_cast<QWidget *>(mWindow->form->OpenImportWindow()),
                                static_cast<QWidget *>(mWindow->form->OpenExportWindow()),
                                static_cast<QWidget *>(mWindow->form->Preview().OpenWindow())}) {
            QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(window);
            QCOMPARE(int(heard->role()), int(QAccessible::Window));
            names << heard->text(QAccessible::Name);
        }
        QCOMPARE(names, (QStringList{"Inspecting Audio", "Saving Audio", "Audio Preview"}));
        mWindow->form->CloseExportWindow();
        mWindow->form->StopPreview();
    }

    void actionsDoWhatTheMouseDoes_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("action");
        QTest::newRow("Open") << "Command2" << QAccessibleActionInterface::pressAction();
        QTest::newRow("Avoid clipping") << "AvoidClippingBox" << QAccessibleActionInterface::toggleAction();
        QTest::newRow("As drawn") << "AsDrawnBox" << QAccessibleActionInterface::toggleAction();
        QTest::newRow("Preview") << "Command1_0" << QAccessibleActionInterface::pressAction();
        QTest::newRow("Save As") << "Command1_1" << QAccessibleActionInterface::pressAction();
        QTest::newRow("Presets") << "PresetsButton" << QAccessibleActionInterface::showMenuAction();
    }

    // Screen readers and voice control act through the controls' actions,
    // from inside their own message handling: each does what the mouse
    // does, and every sequence it starts runs to its end.
    void actionsDoWhatTheMouseDoes()
    {
        QFETCH(QString, control);
        QFETCH(QString, action);
        // One main window at a time: the progress windows are the process's.
        mWindow.reset();
        static BrenvoxSession *session = nullptr;
        if (!session) {
            session = new BrenvoxSession;
            QVERIFY(session->form);
        }
        MainWindow *form = session->form;
        const QString source = session->app.scratchPath(QStringLiteral("source.wav"));
        const QString output = session->app.scratchPath(QStringLiteral("saved.wav"));
        QVERIFY(QFileInfo::exists(source) || AudioMeasure::GenerateStereoTones(440, 1000, 2, source));
        SetFileDialogAnswer([&](const FileDialogRequest &request) {
            return request.kind == FileDialogRequest::Kind::Open ? source : output;
        });
        const auto reset = qScopeGuard([] { SetFileDialogAnswer(FileDialogAnswer()); });

        QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(form->findChild<QWidget *>(control));
        QVERIFY(heard->actionInterface()->actionNames().contains(action));
        heard->actionInterface()->doAction(action);
        if (control == QLatin1String("Command2")) {
            QTRY_VERIFY_WITH_TIMEOUT(form->SourceImported() && !form->SequenceRunning() && !OpenWindow<ImportWindow>(), 30000);
        } else if (control == QLatin1String("AvoidClippingBox")) {
            QVERIFY(session->session.Settings().avoidClipping);
        } else if (control == QLatin1String("AsDrawnBox")) {
            QVERIFY(session->session.Settings().asDrawn && session->session.Plan(0).asDrawn);
        } else if (control == QLatin1String("Command1_0")) {
            QTRY_VERIFY_WITH_TIMEOUT(!session->toolArguments(QStringLiteral("ffplay")).isEmpty()
                                         && !form->PreviewRunning() && !OpenWindow<PreviewWindow>(), 30000);
        } else if (control == QLatin1String("Command1_1")) {
            QTRY_VERIFY_WITH_TIMEOUT(OpenWindow<ExportWindow>() && OpenWindow<ExportWindow>()->Label1[8]->text() == QLatin1String("Completed"),
                                     30000);
            QCOMPARE(AudioMeasure::Channels(output), 2);
            form->CloseExportWindow();
        } else {
            QTRY_VERIFY(Control<QMenu>(form, "PresetsMenu")->isVisible());
            QCOMPARE(heard->child(heard->childCount() - 1)->object(), Control<QMenu>(form, "PresetsMenu"));
            Control<QMenu>(form, "PresetsMenu")->close();
            delete session;
            session = nullptr;
        }
    }

private:
    std::unique_ptr<StartedMainWindow> mWindow = std::make_unique<StartedMainWindow>();
};

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
