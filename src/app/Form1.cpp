#include "app/Form1.h"

#include "process/DOSOutputs.h"

#include <QCloseEvent>
#include <QPushButton>

Form1::Form1(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Loading..."));
}

Form1::~Form1() = default;

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    CleanUnload();
    event->accept();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
}

void Form1::Command1_Click(int) {}

void Form1::SequenceStarted()
{
    ++mRunningSequences;
    UpdateSequenceButtons();
}

void Form1::SequenceEnded()
{
    if (mRunningSequences > 0)
        --mRunningSequences;
    UpdateSequenceButtons();
}

bool Form1::SequenceRunning() const
{
    return mRunningSequences > 0;
}

void Form1::UpdateSequenceButtons() {}

SequenceScope::SequenceScope(Form1 *form)
    : mForm(form)
{
    if (mForm)
        mForm->SequenceStarted();
}

SequenceScope::~SequenceScope()
{
    if (mForm)
        mForm->SequenceEnded();
}
