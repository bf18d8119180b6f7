// Undo and redo from the main window: each user step back and forth, and
// never a tool run again.
#include "Controls.h"
#include "StartedMainWindow.h"

#include "session/Session.h"
#include "core/equalizer/SettingsHistory.h"
#include "ui/ExportWindow.h"
#include "ui/ImportWindow.h"
#include "ui/PreviewWindow.h"

#include <QRadioButton>
#include <QSlider>
#include <QDoubleSpinBox>
#include <QtTest>

class tst_Undo : public QObject
{
    Q_OBJECT

private slots:
    void stepsBackAndForth_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("a band moved by a key") << "key";
        QTest::newRow("a band dragged") << "drag";
        QTest::newRow("the EQ range flattening every band") << "range";
        QTest::newRow("low cut") << "lowcut";
        QTest::newRow("a level") << "level";
        QTest::newRow("a preamp") << "preamp";
        QTest::newRow("Reset") << "reset";
    }

    void stepsBackAndForth()
    {
        QFETCH(QString, step);
        StartedMainWindow started;
        QVERIFY(started.isValid());
        MainWindow *form = started.form;
        // Something to lose first: two bands set by the user.
        Control<QSlider>(form, "LeftChanelSlider", 10)->triggerAction(QAbstractSlider::SliderPageStepSub);
        Control<QSlider>(form, "RightChanelSlider", 40)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        const EqualizerSettings before = form->session().Settings();
        const QStringList chainsBefore{form->session().FilterChain(0), form->session().FilterChain(1)};

        if (step == QLatin1String("key")) {
            Control<QSlider>(form, "LeftChanelSlider", 29)->triggerAction(QAbstractSlider::SliderSingleStepSub);
        } else if (step == QLatin1String("drag")) {
            QSlider *slider = Control<QSlider>(form, "LeftChanelSlider", 29);
            emit slider->sliderPressed();
            for (int position = -1; position >= -6; --position) {
                slider->setSliderPosition(position);
                emit slider->actionTriggered(QAbstractSlider::SliderMove);
            }
            emit slider->sliderReleased();
        } else if (step == QLatin1String("range")) {
            Control<QRadioButton>(form, "Option1", 1)->setChecked(true);
        } else if (step == QLatin1String("lowcut")) {
            Control<QRadioButton>(form, "Option2", 1)->setChecked(true);
        } else if (step == QLatin1String("level")) {
            Control<QSlider>(form, "Slider1", 0)->setValue(-9);
        } else if (step == QLatin1String("preamp")) {
            Control<QDoubleSpinBox>(form, "PreampBox", 1)->setValue(-4.5);
        } else {
            form->ResetEqualizer();
        }
        const EqualizerSettings after = form->session().Settings();
        QVERIFY(!(after == before));

        form->UndoSettings();
        QVERIFY(form->session().Settings() == before);
        QCOMPARE(Control<QSlider>(form, "LeftChanelSlider", 10)->value(), -5);
        QCOMPARE(Control<QDoubleSpinBox>(form, "PreampBox", 1)->value(), 0.0);
        QCOMPARE((QStringList{form->session().FilterChain(0), form->session().FilterChain(1)}), chainsBefore);
        form->RedoSettings();
        QVERIFY(form->session().Settings() == after);
        form->UndoSettings();
        QVERIFY(form->session().Settings() == before);
        // Only settings moved: no window of a tool sequence came up.
        QVERIFY(!OpenWindow<ImportWindow>() || !OpenWindow<ImportWindow>()->isVisible());
        QVERIFY(!OpenWindow<ExportWindow>() && !OpenWindow<PreviewWindow>());
        QVERIFY(!form->SequenceRunning());
    }
};

QTEST_MAIN(tst_Undo)
#include "tst_undo.moc"
