// The export window: the export job's rows, and the progress read from
// ffmpeg's status lines.
#include "ui/ExportWindow.h"

#include "core/system/AppFolder.h"
#include "ui/mainwindow/MainWindow.h"
#include "session/Session.h"
#include "ui/Twips.h"
#include "core/tools/WrittenAudioCheck.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

const QString Idle = QStringLiteral("Idle");
const QString Processing = QStringLiteral("Processing");
const QString Completed = QStringLiteral("Completed");
const QString Failed = QStringLiteral("Failed");

} // namespace

ExportWindow::ExportWindow(MainWindow *owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , mSession(owner ? &owner->session() : nullptr)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Saving Audio"));
    if (owner)
        setWindowIcon(owner->windowIcon());

    // The face and size the design's texts fit, as in the import window.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    setFont(font);

    // The frames go first so the rows' labels lie on top of them.
    QFrame **shapes[] = {&Shape1, &Shape2, &Shape3};
    for (int row = 0; row < 3; ++row) {
        auto *shape = new QFrame(this);
        shape->setObjectName(QStringLiteral("Shape%1").arg(row + 1));
        shape->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #C0C0C0; }"));
        SetTwips(shape, 240, 960 + 360 * row, 4455, 255);
        *shapes[row] = shape;
    }

    struct LabelDesign { const char *text; double left, top, width, height; };
    static const LabelDesign designs[] = {
        {"Merging Audio Data Into File", 240, 240, 2415, 255},
        {"<%OutputFileName%>", 240, 600, 6495, 255},
        {"Creating Left Chanel", 360, 960, 2415, 255},
        {"Creating Right Chanel ", 360, 1320, 2415, 255},
        {"Merging Chanels", 360, 1680, 2415, 255},
        {"Overall Progress 0% Complete", 240, 2400, 3375, 255},
        {"Idle", 2640, 960, 1575, 255},
        {"Idle", 2640, 1320, 1575, 255},
        {"Idle", 2640, 1680, 1575, 255},
    };
    for (int index = 0; index < 9; ++index) {
        const LabelDesign &design = designs[index];
        auto *label = new QLabel(QLatin1String(design.text), this);
        label->setObjectName(QStringLiteral("Label1_%1").arg(index));
        SetTwips(label, design.left, design.top, design.width, design.height);
        Label1 << label;
    }

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    SetTwips(Label2, 240, 1980, 5175, 255);

    // A saved file leaves Label2 empty, so the report takes its place.
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    SetTwips(Label3, 240, 1980, 5175, 255);

    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    SetTwips(Command1, 5520, 2160, 1335, 375);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    PBar = new QProgressBar(this);
    PBar->setObjectName(QStringLiteral("PBar"));
    PBar->setTextVisible(false);
    SetTwips(PBar, 240, 2640, 6615, 255);
    PBar->setRange(0, mSession ? ExportProgress::BarMaximum(mSession->SourceDuration()) : 0);
    PBar->setValue(0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &ExportWindow::Timer1_Timer);

    SetFixedOuterSizeTwips(this, 7320, 3840);

    mSequence = std::make_unique<SequenceScope>(mSession);
    Timer1->start();
}

ExportWindow::~ExportWindow()
{
    RemoveIncompleteOutput();
}

bool ExportWindow::ExportRunning() const
{
    return mExporting;
}

void ExportWindow::SetTemporaryOutput(std::shared_ptr<OutputReplacement::TemporaryOutput> output,
                               bool replaceExisting)
{
    mTemporaryOutput = std::move(output);
    mReplaceExisting = replaceExisting;
    // Said before it runs: the user may rather choose another disk, or
    // another format.
    QStringList notes{mTemporaryOutput->Lacks()};
    if (mSession)
        notes << mSession->SourceNote() << mSession->KeptFor(mSession->OutputFile()).notice;
    notes.removeAll(QString());
    Label3->setText(notes.join(QLatin1String("  ")));
    Label3->setToolTip(Label3->text());
}

void ExportWindow::RefuseOutput(const QString &reason)
{
    mRefusal = reason;
    ShowFailure(reason);
}

void ExportWindow::Timer1_Timer()
{
    Timer1->stop();
    if (mExporting || mUnloading)
        return;

    if (!mRefusal.isEmpty())
        ShowFailure(mRefusal);
    else if (!mSession || mSession->OutputFile().isEmpty() || !mTemporaryOutput)
        ShowFailure(QStringLiteral("The output file could not be created."));
    else
        SaveChanels();
    if (!mExporting)
        mSequence.reset();
}

void ExportWindow::SaveChanels()
{
    // The job removes the temporary file from now on, unless it becomes
    // the output.
    mExporting = true;
    mJob = mSession->NewExport(std::move(mTemporaryOutput), mReplaceExisting);
    connect(mJob.get(), &ExportJob::rowStarted, this, &ExportWindow::RowStarted);
    connect(mJob.get(), &ExportJob::rowOutput, this, &ExportWindow::RowOutput);
    connect(mJob.get(), &ExportJob::rowCompleted, this, &ExportWindow::RowCompleted);
    connect(mJob.get(), &ExportJob::rowFailed, this, &ExportWindow::RowFailed);
    connect(mJob.get(), &ExportJob::rowStopped, this, &ExportWindow::RowStopped);
    connect(mJob.get(), &ExportJob::writtenPeakMeasured, this, &ExportWindow::WrittenPeakMeasured);
    connect(mJob.get(), &ExportJob::ended, this, &ExportWindow::ExportEnded);
    // Without the source's duration the job counts completed steps instead.
    PBar->setRange(0, mJob->ProgressMaximum());
    mJob->SaveChanels();
}

QLabel *ExportWindow::RowStatus(int row) const
{
    return Label1[6 + row];
}

void ExportWindow::RowStarted(int row)
{
    RowStatus(row)->setText(Processing);
}

void ExportWindow::RowOutput(int, const QString &chunk)
{
    QString copy = chunk;
    ShowToolOutput(copy);
}

void ExportWindow::RowCompleted(int row)
{
    RowStatus(row)->setText(Completed);
    // The job counts the step as through the whole source.
    ShowJobProgress();
}

void ExportWindow::RowFailed(int row, const QString &said)
{
    RowStatus(row)->setText(Failed);
    ShowFailure(said);
    // The job no longer counts what the failed steps had been through.
    ShowJobProgress();
}

void ExportWindow::ShowJobProgress()
{
    PBar->setValue(std::min(mJob->ProgressValue(), PBar->maximum()));
    Label1[5]->setText(ExportProgress::ProgressLabel(PBar->value(), PBar->maximum()));
}

void ExportWindow::RowStopped(int row)
{
    RowStatus(row)->setText(Idle);
}

void ExportWindow::WrittenPeakMeasured(double peakDb)
{
    Label3->setText(WrittenAudioCheck::SavedPeakText(peakDb));
}

void ExportWindow::ExportEnded()
{
    // The job is still on the stack.
    mJob.release()->deleteLater();
    mExporting = false;
    mSequence.reset();
    if (mUnloading)
        deleteLater();
}

void ExportWindow::ShowFailure(const QString &failure)
{
    // A reason with a path seldom fits one row. The export has ended, so
    // the overall progress and its bar give their rows to it, down to the
    // window's foot beside "Cancel", and it wraps there. Its tooltip and
    // what a screen reader reads (a label's text) hold it whole as well.
    Label1[5]->hide();
    PBar->hide();
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwips(Label2, 240, 1980, 5175, 915);
    Label2->setText(failure);
    Label2->setToolTip(failure);
}

void ExportWindow::RemoveIncompleteOutput()
{
    mTemporaryOutput.reset();
}

void ExportWindow::ShowToolOutput(QString &CommandOutputs)
{
    if (mUnloading)
        return;
    Q_UNUSED(CommandOutputs);
    // The job has counted the chunk. The text shows the bar as it stood
    // before it, so it trails the bar by one chunk; the empty chunk at the
    // end of each run catches up.
    const int before = PBar->value();
    const int maximum = PBar->maximum();
    PBar->setValue(std::min(mJob ? mJob->ProgressValue() : before, maximum));
    Label1[5]->setText(ExportProgress::ProgressLabel(before, maximum));
}

void ExportWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (mUnloading)
        return;
    mUnloading = true;
    Timer1->stop();
    RemoveIncompleteOutput();
    if (mExporting) {
        // The window goes once the job has stopped its tools.
        mJob->Cancel();
        return;
    }
    mSequence.reset();
    deleteLater();
}
