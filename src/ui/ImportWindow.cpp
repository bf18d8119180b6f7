// ImportWindow's controls, load step, timers and closing.
#include "ui/ImportWindow.h"

#include "ui/mainwindow/MainWindow.h"
#include "ui/Twips.h"
#include "core/system/JobPaths.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

const QColor LightGrey(192, 192, 192); // 12632256

struct LabelDesign
{
    const char *text;
    double left, top, width, height;
    bool grey;
};

const LabelDesign Label1Design[] = {
    {" Inspecting Audio Data", 240, 120, 5535, 255, true},
    {"<%AudioSource%>", 240, 480, 5535, 255, false},
    {" Splitting Audio Chanels", 240, 840, 5535, 255, true},
    {"Left Audio Chanel", 240, 1200, 1815, 255, false},
    {"Right Audio Chanel", 240, 1440, 1815, 255, false},
};

const LabelDesign Label2Design[] = {
    {"Searching...", 2280, 1200, 3375, 255, false},
    {"Searching...", 2280, 1440, 3375, 255, false},
};

QLabel *MakeLabel(QWidget *parent, const QString &name, const LabelDesign &design)
{
    auto *label = new QLabel(QString::fromLatin1(design.text), parent);
    label->setObjectName(name);
    if (design.grey) {
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, LightGrey);
        label->setPalette(palette);
    }
    SetTwips(label, design.left, design.top, design.width, design.height);
    return label;
}

} // namespace

ImportWindow::ImportWindow(MainWindow *owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowCloseButtonHint)
    , mOwner(owner)
    , mSession(owner ? &owner->session() : nullptr)
{
    setObjectName(QStringLiteral("Form2"));
    BuildControls();
    Form_Load();
}

ImportWindow::~ImportWindow()
{
    // Destroyed with its owner while a tool still runs: the tool must not
    // go on writing the channel files for nobody.
    if (mJob)
        mJob->Cancel();
    MarkSequenceEnded();
}

void ImportWindow::BuildControls()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    setFont(font);

    for (int i = 0; i < int(std::size(Label1Design)); ++i)
        Label1 << MakeLabel(this, QStringLiteral("Label1_%1").arg(i), Label1Design[i]);
    for (int i = 0; i < int(std::size(Label2Design)); ++i)
        Label2 << MakeLabel(this, QStringLiteral("Label2_%1").arg(i), Label2Design[i]);

    PBar = new QProgressBar(this);
    PBar->setObjectName(QStringLiteral("PBar"));
    PBar->setRange(0, 100);
    PBar->setTextVisible(false);
    SetTwips(PBar, 240, 1800, 5535, 255);

    Command1 = new QPushButton(QStringLiteral("Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    SetTwips(Command1, 4200, 2160, 1575, 375);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &ImportWindow::Timer1_Timer);
    Timer1->start();

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(2000);
    connect(Timer2, &QTimer::timeout, this, &ImportWindow::Timer2_Timer);
}

void ImportWindow::Form_Load()
{
    if (mOwner)
        setWindowIcon(mOwner->windowIcon());
    SetFixedOuterSizeTwips(this, 6090, 3225);
    Timer2->stop();
    if (mSession) {
        Label1[1]->setText(mSession->SourceFile());
    }
    PBar->setValue(10);
    SetBothStatus(QStringLiteral("Searching..."));
}

bool ImportWindow::Failed() const
{
    return mFailed;
}

void ImportWindow::ScheduleImport(const QString &source)
{
    mSource = source;
    MarkSequenceStarted();
    Timer1->start();
}

void ImportWindow::Timer1_Timer()
{
    // A running timer would start the import again while it runs.
    Timer1->stop();
    if (mImporting || mClosed || !mSession)
        return;
    Label1[1]->setText(mSource);
    mImporting = true;
    mFailed = false;
    MarkSequenceStarted();
    GetSourceDuration();
}

void ImportWindow::Timer2_Timer()
{
    Timer2->stop();
    PBar->setValue(100);
    SetBothStatus(QStringLiteral("Completed."));
    MarkSequenceEnded();
    close();
}

void ImportWindow::closeEvent(QCloseEvent *event)
{
    mClosed = true;
    Timer1->stop();
    Timer2->stop();
    if (mJob)
        mJob->Cancel();
    MarkSequenceEnded();
    // An import closed before its end leaves the earlier source open.
    if (mOwner)
        mOwner->ShowOpenSource();
    event->accept();
    if (!mImporting)
        deleteLater();
}

void ImportWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!mOwner)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(mOwner->frameGeometry().center());
    move(frame.topLeft());
}

void ImportWindow::MarkSequenceStarted()
{
    if (mSequenceMarked || !mSession)
        return;
    mSequenceMarked = true;
    mSession->SequenceStarted();
}

void ImportWindow::MarkSequenceEnded()
{
    if (!mSequenceMarked)
        return;
    mSequenceMarked = false;
    if (mSession)
        mSession->SequenceEnded();
}

void ImportWindow::SetBothStatus(const QString &text)
{
    Label2[0]->setText(text);
    Label2[1]->setText(text);
}
