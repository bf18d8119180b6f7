// The main window's geometry in twips: design layout, resizing, scrolling.
#include "ui/mainwindow/MainWindow.h"
#include "Controls.h"
#include "app/Main.h"
#include "session/Session.h"
#include "ui/Twips.h"
#include "ui/ResponseCurveView.h"

#include "StartedMainWindow.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QtTest>

#include <memory>

class tst_Form1Layout : public QObject
{
    Q_OBJECT

private:
    QRectF TwipsOf(const QString &name) const
    {
        auto *widget = mForm->findChild<QWidget *>(name);
        return widget ? Twips(widget) : QRectF(-1, -1, -1, -1);
    }

    std::unique_ptr<StartedMainWindow> mWindow;
    MainWindow *mForm = nullptr;

private slots:
    void initTestCase()
    {
        mWindow = std::make_unique<StartedMainWindow>();
        QVERIFY(mWindow->isValid());
        mForm = mWindow->form;
    }

    void cleanupTestCase()
    {
        mWindow.reset();
    }

    void init()
    {
        // Every case starts from the design width and start-up's height.
        mForm->showNormal();
        Control<QScrollBar>(mForm, "HScroll1")->setValue(0);
        mForm->resize(1111, mForm->height());
        mForm->SetHeightTwips(MainWindow::StartHeightTwips);
    }

    void designLayout_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRectF>("twips");
        QTest::newRow("options panel") << "Picture1_4" << QRectF(13280, 480, 3375, 4765);
        QTest::newRow("viewport") << "Picture1_0" << QRectF(240, 480, 13480, 4765);
        QTest::newRow("canvas") << "Picture1_1" << QRectF(0, 0, 48384, 4506);
        QTest::newRow("left panel") << "Picture1_2" << QRectF(0, 0, 48384, 2250);
        QTest::newRow("right panel") << "Picture1_3" << QRectF(0, 2255, 48384, 2250);
        QTest::newRow("scroll bar") << "HScroll1" << QRectF(0, 4506, 13480, 255);
        QTest::newRow("source path") << "Text1" << QRectF(1340, 120, 13985, 315);
        QTest::newRow("presets") << "PresetsButton" << QRectF(15330, 120, 1095, 315);
        // The curve under the band panels, its column under the options panel.
        QTest::newRow("curve panel") << "CurvePanel" << QRectF(240, 5250, 16415, 3000);
        QTest::newRow("curve") << "ResponseCurve" << QRectF(0, 0, 12920, 3000);
        QTest::newRow("avoid clipping") << "AvoidClippingBox" << QRectF(13040, 0, 3375, 270);
        QTest::newRow("chain panel") << "Picture2" << QRectF(240, 8255, 16185, 650);
        QTest::newRow("left chain box") << "Text2" << QRectF(0, 0, 16185, 325);
        QTest::newRow("right chain box") << "Text3" << QRectF(0, 330, 16185, 320);
        // The status line keeps the bottom: 120 below it, as above "Open".
        QTest::newRow("status line") << "StatusLine" << QRectF(240, 8910, 16185, 255);
    }

    void designLayout()
    {
        QFETCH(QString, control);
        QFETCH(QRectF, twips);
        QCOMPARE(TwipsOf(control), twips);
    }

    void bandSlidersAndMarks_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::newRow("left band 0") << "LeftChanelSlider_0" << 0.0 << TwipsOf("Label1_0").bottom();
        QTest::newRow("left band 1") << "LeftChanelSlider_1" << 472.5 << TwipsOf("Label1_1").bottom();
        QTest::newRow("left band 64") << "LeftChanelSlider_64" << 30240.0 << TwipsOf("Label1_64").bottom();
        QTest::newRow("right band 64") << "RightChanelSlider_64" << 30240.0 << TwipsOf("Label5_64").bottom();
        QTest::newRow("caption 64") << "Label1_64" << 30240.0 << 0.0;
        QTest::newRow("right caption 7") << "Label5_7" << 3307.5 << 0.0;
        QTest::newRow("level mid mark") << "Line4" << 120.0 << 1627.5;
        QTest::newRow("left bottom strip") << "Label3_0" << 0.0 << 2235.0;
    }

    void bandSlidersAndMarks()
    {
        QFETCH(QString, control);
        QFETCH(double, left);
        QFETCH(double, top);
        const QRectF twips = TwipsOf(control);
        QCOMPARE(twips.x(), left);
        QCOMPARE(twips.y(), top);
    }

    void bandControlsAreComplete()
    {
        for (const char *name : {"LeftChanelSlider_", "RightChanelSlider_", "Label1_", "Label2_", "Label5_", "Label6_"}) {
            for (int band = 0; band <= 64; ++band) {
                auto *control = mForm->findChild<QWidget *>(QLatin1String(name) + QString::number(band));
                QVERIFY2(control && control->isVisible(), name);
            }
            QVERIFY(!mForm->findChild<QWidget *>(QLatin1String(name) + QStringLiteral("65")));
        }
        // Readouts sit under their sliders, inside the panel.
        const QRectF slider = Twips(Control<QSlider>(mForm, "LeftChanelSlider", 30));
        const QRectF readout = Twips(Control<QLabel>(mForm, "Label2", 30));
        QCOMPARE(readout.y(), slider.y() + slider.height());
        QVERIFY(readout.y() + readout.height() <= Twips(Control<QWidget>(mForm, "Picture1", 2)).height());
        QCOMPARE(Twips(Control<QFrame>(mForm, "Line3")).y(), slider.y() + slider.height() / 2);
        QTest::mouseClick(mForm->windowHandle(), Qt::LeftButton, {}, Control<QSlider>(mForm, "LeftChanelSlider", 1)->mapTo(mForm, QPoint(10, 0)));
        QCOMPARE(Control<QSlider>(mForm, "LeftChanelSlider", 1)->value(), -5); // nothing lies over a slider's top: it pages up
    }

    void chainPanelFollowsHeight_data()
    {
        QTest::addColumn<double>("height");
        QTest::addColumn<bool>("shown");
        QTest::newRow("9335") << 9335.0 << false;
        QTest::newRow("9345") << 9345.0 << false;
        QTest::newRow("9346") << 9346.0 << true;
        QTest::newRow("12000") << 12000.0 << true;
    }

    void chainPanelFollowsHeight()
    {
        QFETCH(double, height);
        QFETCH(bool, shown);
        mForm->SetHeightTwips(height);
        QCOMPARE(mForm->HeightTwips(), height);
        QCOMPARE(Control<QWidget>(mForm, "Picture2")->isVisible(), shown);
    }

    void userResizeSetsTheHeight()
    {
        mForm->resize(mForm->width(), 700);
        QCOMPARE(mForm->HeightTwips(), mForm->frameGeometry().height() * 15.0);
        QVERIFY(mForm->HeightTwips() >= 10500.0);
        QVERIFY(Control<QWidget>(mForm, "Picture2")->isVisible());
        QCOMPARE(TwipsOf(QStringLiteral("Picture1_4")).x(), 13280.0);
    }

    void narrowWindow()
    {
        mForm->resize(40, mForm->height());
        // The viewport's width would be negative and stays; the rest runs.
        QCOMPARE(TwipsOf(QStringLiteral("Picture1_4")).x(), 600.0 - 3375 - 10);
        QCOMPARE(TwipsOf(QStringLiteral("Picture1_0")).width(), 13480.0);
        QCOMPARE(TwipsOf(QStringLiteral("Text1")).width(), 13985.0);
        QCOMPARE(TwipsOf(QStringLiteral("Picture2")), QRectF(240, 8255, 120, 650));
        mForm->resize(1111, mForm->height());
        QCOMPARE(TwipsOf(QStringLiteral("Picture1_0")).width(), 13480.0);
    }

    void minimizeThenRestore()
    {
        mForm->showMinimized();
        mForm->resize(700, mForm->height());
        if (mForm->isMinimized())
            QCOMPARE(TwipsOf(QStringLiteral("Picture1_4")).x(), 13280.0);
        // Something disturbs the layout while minimized; restoring redoes it.
        SetTwipsLeft(Control<QWidget>(mForm, "Picture1", 4), 0);
        mForm->showNormal();
        QCOMPARE(TwipsOf(QStringLiteral("Picture1_4")).x(), 700 * 15.0 - 3375 - 10);
    }

    void scrolling_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<double>("canvasLeft");
        QTest::newRow("maximum") << 19354 << -19354.0;
        QTest::newRow("back to 0") << 0 << 0.0;
        QTest::newRow("one step") << 10 << -10.0;
    }

    void scrolling()
    {
        QFETCH(int, value);
        QFETCH(double, canvasLeft);
        QCOMPARE(Control<QScrollBar>(mForm, "HScroll1")->maximum(), 19354);
        QCOMPARE(Control<QScrollBar>(mForm, "HScroll1")->singleStep(), 10);
        QCOMPARE(Control<QScrollBar>(mForm, "HScroll1")->pageStep(), 35);
        Control<QScrollBar>(mForm, "HScroll1")->setValue(19354);
        Control<QScrollBar>(mForm, "HScroll1")->setValue(value);
        QCOMPARE(TwipsOf(QStringLiteral("Picture1_1")).x(), canvasLeft);
        // A resize keeps the canvas where the scroll bar says.
        mForm->resize(1200, mForm->height());
        QCOMPARE(TwipsOf(QStringLiteral("Picture1_1")).x(), canvasLeft);
    }

    void chainBoxesFillTheirPanel()
    {
        mForm->SetHeightTwips(8000);
        mForm->resize(1400, mForm->height());
        const QRectF panel = TwipsOf(QStringLiteral("Picture2"));
        const QRectF left = TwipsOf(QStringLiteral("Text2"));
        const QRectF right = TwipsOf(QStringLiteral("Text3"));
        QCOMPARE(left, QRectF(0, 0, panel.width(), panel.height() / 2));
        QCOMPARE(right.y(), panel.height() / 2 + 5);
        QCOMPARE(right.y() + right.height(), panel.height());
    }

    void curveHidesNothing_data()
    {
        QTest::addColumn<double>("height");
        QTest::newRow("start-up") << MainWindow::StartHeightTwips;
        QTest::newRow("with the chains") << 12000.0;
    }

    void curveHidesNothing()
    {
        QFETCH(double, height);
        mForm->SetHeightTwips(height);
        const QRect curve = Control<QWidget>(mForm, "CurvePanel")->geometry();
        QVERIFY(Control<QWidget>(mForm, "CurvePanel")->isVisible() && mForm->rect().contains(curve));
        for (QWidget *control : mForm->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control != Control<QWidget>(mForm, "CurvePanel") && control->isVisible())
                QVERIFY2(!control->geometry().intersects(curve), qPrintable(control->objectName()));
        }
        // Inside, the curve keeps clear of the column of check boxes and texts.
        for (QWidget *control : Control<QWidget>(mForm, "CurvePanel")->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control != Control<ResponseCurveView>(mForm, "ResponseCurve"))
                QVERIFY(!control->geometry().intersects(Control<ResponseCurveView>(mForm, "ResponseCurve")->geometry()));
        }
    }

    void optionsPanelHidesNothing()
    {
        // Stacked above the viewport, which reaches 40 twips into it.
        const QRect panel = Control<QWidget>(mForm, "Picture1", 4)->geometry();
        QVERIFY(mForm->childAt(panel.topLeft() + QPoint(1, panel.height() / 2)) != nullptr);
        QWidget *hit = mForm->childAt(panel.topLeft() + QPoint(1, panel.height() / 2));
        QVERIFY(hit == Control<QWidget>(mForm, "Picture1", 4) || Control<QWidget>(mForm, "Picture1", 4)->isAncestorOf(hit));
    }
};

QTEST_MAIN(tst_Form1Layout)
#include "tst_form1_layout.moc"
