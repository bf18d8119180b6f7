#include "ui/form1/Form1.h"

#include "jobs/PreviewJob.h"
#include "ui/Twips.h"
#include "core/equalizer/ChannelPlan.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

Form1::Form1(Session &session, QWidget *parent)
    : QWidget(parent)
    , mSession(session)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Loading..."));
    setAcceptDrops(true);
    CreateDesignControls();

    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(Command2, &QPushButton::clicked, this, [this] { OpenSourceFile(); });
    for (int index = 0; index < Command1.size(); ++index)
        connect(Command1[index], &QPushButton::clicked, this, [this, index] { Command1_Click(index); });
    CreatePresetsControl();
    UpdateSequenceButtons();

    // The session follows each outermost change once, so a left move with
    // sync on redraws each chain box once, not 66 times.
    connect(&mSession, &Session::Followed, this, &Form1::FollowModel);
    connect(&mSession, &Session::SequencesChanged, this, &Form1::UpdateSequenceButtons);
}

Form1::~Form1()
{
    // The progress windows are children and go after this part of the
    // window: what they tell the session on their way must not reach it.
    disconnect(&mSession, nullptr, this, nullptr);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The exact twips height stays while the pixels agree with it, so 9345
    // and 9346 (both 623 pixels) remain different heights.
    const int outerPixels = frameGeometry().height();
    if (TwipsToPixels(mHeightTwips) != outerPixels)
        mHeightTwips = outerPixels * TwipsPerPixel;
    ArrangeMainWindow();
}

void Form1::closeEvent(QCloseEvent *event)
{
    StopProfileImports();
    CleanUnload();
    event->accept();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized())
        ArrangeMainWindow();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Picture2 && event->type() == QEvent::Resize)
        Picture2_Resize();
    return QWidget::eventFilter(watched, event);
}

void Form1::Command1_Click(int index)
{
    if (PreviewRunning()) {
        StopPreview();
        if (index == 0)
            return; // it read "Stop"
    } else if (SequenceRunning()) {
        return;
    }
    if (index < 2 && !SourceImported()) {
        // The channel files went after the buttons were last set.
        UpdateSequenceButtons();
        auto *box = new QMessageBox(QMessageBox::Information, Command1[index]->text(),
                                    QStringLiteral("Open a source first"), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("OpenSourceFirst"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
        return;
    }
    switch (index) {
    case 0:
        SoundPreviewing(qint16(mSession.PreviewChannel()));
        break;
    case 1:
        SaveOutputAs();
        break;
    case 2:
        ResetEqualizer();
        break;
    default:
        break;
    }
}

void Form1::UpdateSequenceButtons()
{
    const bool idle = !SequenceRunning();
    const bool previewing = PreviewRunning();
    const bool source = SourceImported();
    const QString needsSource = source ? QString() : QStringLiteral("Open a source first");
    Command2->setEnabled(idle && mReady);
    Command1[0]->setText(previewing ? QStringLiteral("Stop") : QStringLiteral("Preview"));
    Command1[0]->setEnabled(previewing || (idle && source));
    Command1[0]->setToolTip(previewing ? QString() : needsSource);
    Command1[1]->setEnabled(idle && source);
    Command1[1]->setToolTip(needsSource);
    Command1[2]->setEnabled(idle || previewing);
}
