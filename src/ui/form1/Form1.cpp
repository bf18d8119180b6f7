#include "ui/form1/Form1.h"

#include "session/SharedState.h"
#include "ui/Twips.h"
#include "core/equalizer/ChannelPlan.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

Form1::Form1(QWidget *parent)
    : QWidget(parent)
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

    // The model announces each channel once per outermost operation, so a
    // left move with sync on redraws each chain box once, not 66 times.
    connect(&Equalizer(), &EqualizerModel::channelChanged, this, [this] { FollowModel(); });
    connect(&Equalizer(), &EqualizerModel::optionsChanged, this, [this] { FollowModel(); });
}

Form1::~Form1() = default;

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
        SoundPreviewing(Shared().PreviewChannel);
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

void Form1::SequenceStarted(bool preview)
{
    ++mRunningSequences;
    if (preview)
        ++mRunningPreviews;
    UpdateSequenceButtons();
}

void Form1::SequenceEnded(bool preview)
{
    if (mRunningSequences > 0)
        --mRunningSequences;
    if (preview && mRunningPreviews > 0)
        --mRunningPreviews;
    UpdateSequenceButtons();
}

bool Form1::SequenceRunning() const
{
    return mRunningSequences > 0;
}

bool Form1::PreviewRunning() const
{
    return mRunningPreviews > 0;
}

bool Form1::SourceImported() const
{
    for (const QString &channelFile : {Shared().LeftSourceWav, Shared().RightSourceWav}) {
        const QFileInfo file(channelFile);
        if (!file.isFile() || file.size() == 0)
            return false;
    }
    return true;
}

void Form1::UpdateSequenceButtons()
{
    const bool idle = !SequenceRunning();
    const bool previewing = PreviewRunning();
    const bool source = SourceImported();
    const QString needsSource = source ? QString() : QStringLiteral("Open a source first");
    Command2->setEnabled(idle);
    Command1[0]->setText(previewing ? QStringLiteral("Stop") : QStringLiteral("Preview"));
    Command1[0]->setEnabled(previewing || (idle && source));
    Command1[0]->setToolTip(previewing ? QString() : needsSource);
    Command1[1]->setEnabled(idle && source);
    Command1[1]->setToolTip(needsSource);
    Command1[2]->setEnabled(idle || previewing);
}

SequenceScope::SequenceScope(Form1 *form, bool preview)
    : mForm(form), mPreview(preview)
{
    if (mForm)
        mForm->SequenceStarted(mPreview);
}

SequenceScope::~SequenceScope()
{
    // While the main window is being destroyed its children (the progress
    // windows that hold scopes) go after Form1's own part is gone; then the
    // cast fails and the buttons are left alone.
    if (Form1 *form = qobject_cast<Form1 *>(mForm.data()))
        form->SequenceEnded(mPreview);
}
