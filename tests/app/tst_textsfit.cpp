// Every text in every window is whole at the design geometry: it fits its
// control, no frame cuts its control off and no two texts overlap.
#include "export/ExportProgress.h"
#include "export/Form3.h"
#include "import/Form2.h"
#include "preview/Form4.h"

#include "StartedMainWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

struct ShownText
{
    QWidget *control;
    QRect area; // in the control's parent
};

// Where the control's style lets its text go, and where it stands there.
ShownText TextPlace(QWidget *control, const QString &text)
{
    QRect room = control->contentsRect();
    Qt::Alignment alignment = Qt::AlignCenter;
    int flags = 0;
    if (auto *label = qobject_cast<QLabel *>(control)) {
        alignment = label->alignment();
    } else {
        QStyleOptionButton option;
        option.initFrom(control);
        option.text = text;
        const bool radio = qobject_cast<QRadioButton *>(control);
        room = control->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents
                                                      : QStyle::SE_PushButtonContents, &option, control);
        alignment = radio ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
        flags = Qt::TextShowMnemonic;
    }
    const QSize needed = control->fontMetrics().size(flags, text);
    const QRect area = QStyle::alignedRect(control->layoutDirection(), alignment, needed, room);
    return {control, area.translated(control->pos())};
}

QString Describe(const QWidget *control)
{
    const auto *label = qobject_cast<const QLabel *>(control);
    const auto *button = qobject_cast<const QAbstractButton *>(control);
    return QStringLiteral("%1 \"%2\"").arg(control->objectName(), label ? label->text() : button->text());
}

} // namespace

class tst_TextsFit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void textsAreWhole_data();
    void textsAreWhole();

private:
    std::unique_ptr<StartedMainWindow> mWindow;
};

void tst_TextsFit::initTestCase()
{
    mWindow = std::make_unique<StartedMainWindow>();
    QVERIFY(mWindow->isValid());
    Form1 *form = mWindow->form;
    Form2::Loaded()->show();
    Form3 *export_ = Form3::Load(form);
    export_->Timer1->stop();
    // The widest text the export's progress takes.
    export_->Label1[5]->setText(ExportProgress::ProgressLabel(100, 100));
    export_->show();
    Form4::Load(form);
}

void tst_TextsFit::cleanupTestCase()
{
    mWindow.reset();
}

void tst_TextsFit::textsAreWhole_data()
{
    QTest::addColumn<QString>("window");
    // Controls whose texts are paths or tool output, set at run time; they
    // elide or wrap by design.
    QTest::addColumn<QStringList>("runTimeTexts");

    QTest::newRow("main") << "Form1" << QStringList();
    QTest::newRow("inspection") << "Form2" << QStringList{QStringLiteral("Label1_1")};
    QTest::newRow("export") << "Form3" << QStringList{QStringLiteral("Label1_1"), QStringLiteral("Label2")};
    QTest::newRow("preview") << "Form4" << QStringList{QStringLiteral("Label1_1")};
}

void tst_TextsFit::textsAreWhole()
{
    QFETCH(QString, window);
    QFETCH(QStringList, runTimeTexts);

    QWidget *form = mWindow->form;
    if (form->objectName() != window)
        form = form->findChild<QWidget *>(window);
    QVERIFY(form && form->isVisible());

    QStringList faults;
    QMultiHash<QWidget *, ShownText> byParent;
    for (QWidget *control : form->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(control);
        const auto *button = qobject_cast<QAbstractButton *>(control);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty() || !control->isVisibleTo(form) || control->window() != form
            || runTimeTexts.contains(control->objectName()) || (label && label->wordWrap()))
            continue;
        const ShownText shown = TextPlace(control, text);
        if (!control->geometry().contains(shown.area))
            faults << QStringLiteral("%1 runs out of its control: the text needs %2x%3 px")
                          .arg(Describe(control)).arg(shown.area.width()).arg(shown.area.height());
        // Scrolling may hide it sideways; above or below nothing may.
        for (QWidget *inner = control; inner != form; inner = inner->parentWidget()) {
            const QRect place = QRect(control->mapTo(inner->parentWidget(), QPoint()), control->size());
            if (place.top() < 0 || place.bottom() >= inner->parentWidget()->height())
                faults << QStringLiteral("%1 is cut by %2").arg(Describe(control), inner->parentWidget()->objectName());
        }
        // Neighbouring texts read as one unless a blank stands between them.
        const int blank = control->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        for (const ShownText &other : byParent.values(control->parentWidget())) {
            if (other.area.intersects(shown.area.adjusted(-blank, 0, blank, 0)))
                faults << QStringLiteral("%1 overlaps %2").arg(Describe(control), Describe(other.control));
        }
        byParent.insert(control->parentWidget(), shown);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(tst_TextsFit)
#include "tst_textsfit.moc"
