// The both-channel preview's progress window.
#include "preview/Form4.h"

#include "app/Form1.h"
#include "app/Twips.h"
#include "jobs/PreviewJob.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTextCursor>

namespace {

QPointer<Form4> &Instance()
{
    static QPointer<Form4> instance;
    return instance;
}

QLabel *MakeLabel(QWidget *parent, int index, const QString &text,
                  double left, double top, double width, double height)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    SetTwips(label, left, top, width, height);
    return label;
}

} // namespace

Form4::Form4(Form1 *owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Creating Preview"));
    if (owner)
        setWindowIcon(owner->windowIcon());

    // The face and size the design's texts fit, as in the inspection window.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    setFont(font);

    Label1 << MakeLabel(this, 0, QStringLiteral("Creating Necessary Files For Previewing"),
                        360, 240, 4095, 255)
           << MakeLabel(this, 1, QStringLiteral("Creating "), 360, 600, 5655, 255)
           << MakeLabel(this, 2, QStringLiteral("Overall Progress 0 % Complete"),
                        360, 1440, 4095, 255);
    Label1[1]->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Command1 = new QPushButton(QStringLiteral("Stop"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    SetTwips(Command1, 4800, 1200, 1215, 375);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    PBar = new QProgressBar(this);
    PBar->setObjectName(QStringLiteral("PBar"));
    PBar->setRange(0, 100);
    PBar->setValue(0);
    PBar->setTextVisible(false);
    SetTwips(PBar, 360, 1680, 5655, 270);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    SetTwips(Picture1, 120, 2760, 9615, 1575);

    Text1 = new QPlainTextEdit(Picture1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setReadOnly(true);
    // A log has nothing to undo; keeping the history would grow with it.
    Text1->setUndoRedoEnabled(false);
    SetTwips(Text1, 360, 240, 9015, 1215);

    SetFixedOuterSizeTwips(this, 6495, 2685);
}

Form4 *Form4::Loaded()
{
    Form4 *form = Instance();
    return form && !form->mUnloading ? form : nullptr;
}

Form4 *Form4::Load(Form1 *owner)
{
    if (!Loaded()) {
        Instance() = new Form4(owner);
        Instance()->show();
    }
    return Instance();
}

void Form4::UnloadIfLoaded()
{
    if (Form4 *form = Loaded())
        form->close();
}

void Form4::ShowStep(const QString &step, const QString &overallProgress, int bar)
{
    Label1[1]->setText(step);
    Label1[1]->setToolTip(QString());
    Label1[2]->setText(overallProgress);
    PBar->setValue(bar);
    Command1->setText(QStringLiteral("Stop"));
}

void Form4::ShowFailure(const QString &failure)
{
    Label1[1]->setText(failure);
    Label1[1]->setToolTip(failure);
    Command1->setText(QStringLiteral("Close"));
    AppendLog(failure);
}

void Form4::AppendLog(const QString &chunk)
{
    QTextCursor end(Text1->document());
    end.movePosition(QTextCursor::End);
    end.insertText(chunk + QLatin1Char('\n'));
}

void Form4::WatchJob(PreviewJob *job)
{
    mJob = job;
}

void Form4::closeEvent(QCloseEvent *event)
{
    mUnloading = true;
    // Closing ends the preview: the render, merge or player stops with it.
    if (mJob)
        mJob->Cancel();
    event->accept();
}
