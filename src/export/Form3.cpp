// The export window: two channel renders and the merge, one after the other,
// with the progress read from ffmpeg's status lines.
#include "export/Form3.h"

#include "app/AppFolder.h"
#include "app/Form1.h"
#include "app/SharedState.h"
#include "app/Twips.h"
#include "export/OutputReplacement.h"
#include "preview/ChannelCommands.h"
#include "preview/RunFailure.h"
#include "process/DOSOutputs.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

QPointer<Form3> &Instance()
{
    static QPointer<Form3> instance;
    return instance;
}

const QString Idle = QStringLiteral("Idle");
const QString Processing = QStringLiteral("Processing");
const QString Completed = QStringLiteral("Completed");
const QString Failed = QStringLiteral("Failed");

} // namespace

Form3::Form3(Form1 *owner)
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Saving Audio"));
    if (owner)
        setWindowIcon(owner->windowIcon());

    // The face and size the design's texts fit, as in the inspection window.
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

    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    SetTwips(Command1, 5520, 2160, 1335, 375);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    PBar = new QProgressBar(this);
    PBar->setObjectName(QStringLiteral("PBar"));
    PBar->setTextVisible(false);
    SetTwips(PBar, 240, 2640, 6615, 255);
    PBar->setRange(0, ExportProgress::BarMaximum(Shared().SourceDuration));
    PBar->setValue(0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Form3::Timer1_Timer);

    SetFixedOuterSizeTwips(this, 7320, 3840);

    mSequence = std::make_unique<SequenceScope>(owner);
    Timer1->start();
}

Form3::~Form3()
{
    RemoveIncompleteOutput();
}

Form3 *Form3::Loaded()
{
    Form3 *form = Instance();
    return form && !form->mUnloading ? form : nullptr;
}

Form3 *Form3::Load(Form1 *owner)
{
    if (!Loaded())
        Instance() = new Form3(owner);
    return Instance();
}

void Form3::UnloadIfLoaded()
{
    if (Form3 *form = Loaded())
        form->close();
}

bool Form3::ExportRunning() const
{
    return mExporting;
}

void Form3::SetTemporaryOutput(const QString &path)
{
    mTemporaryOutput = path;
}

void Form3::RefuseOutput(const QString &reason)
{
    mRefusal = reason;
    ShowFailure(reason);
}

void Form3::Timer1_Timer()
{
    // The tick runs the whole export; the timer must not fire again while
    // the export waits for its tools.
    Timer1->stop();
    if (mExporting || mUnloading)
        return;
    mExporting = true;

    if (!mRefusal.isEmpty())
        ShowFailure(mRefusal);
    else if (Shared().OutputFile.isEmpty() || mTemporaryOutput.isEmpty())
        ShowFailure(QStringLiteral("The output file could not be created."));
    else
        SaveChanels();

    Counters.Reset();
    objDOS.reset();
    mExporting = false;
    mSequence.reset();
    if (mUnloading) {
        RemoveIncompleteOutput();
        deleteLater();
    }
}

std::shared_ptr<DOSOutputs> Form3::StartRunner()
{
    return StartCurrentRunner(objDOS, this, &Form3::objDOS_ReceiveOutputs);
}

void Form3::SaveChanels()
{
    const SharedState &shared = Shared();
    const QString encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
    StartRunner();
    Label1[6]->setText(Processing);
    Counters.ExportStage = 0;
    if (!RunStep(Label1[6], Label1[2]->text(),
                 ChannelCommands::RenderChannel(encoderFolder, shared.LeftSourceWav, shared.LeftVolume,
                                                shared.LeftFilterChain, shared.LeftOutWav),
                 shared.LeftOutWav))
        return;
    Counters.ExportStage = 1;
    Label1[6]->setText(Completed);
    Label1[7]->setText(Processing);
    if (!RunStep(Label1[7], Label1[3]->text().trimmed(),
                 ChannelCommands::RenderChannel(encoderFolder, shared.RightSourceWav, shared.RightVolume,
                                                shared.RightFilterChain, shared.RightOutWav),
                 shared.RightOutWav))
        return;
    Counters.ExportStage = 2;
    Label1[7]->setText(Completed);
    objDOS.reset();
    JoinWavs();
}

void Form3::JoinWavs()
{
    const SharedState &shared = Shared();
    const QString written = mTemporaryOutput;
    const QString stepName = Label1[4]->text();
    StartRunner();
    Label1[8]->setText(Processing);
    if (!RunStep(Label1[8], stepName,
                 ChannelCommands::JoinForExport(ToolFolder(QStringLiteral("ffmpeg")), shared.LeftOutWav, shared.RightOutWav,
                                                written),
                 written))
        return;
    // A clean exit and clean output can still leave a file cut short. The
    // source's duration is kept in whole seconds; the channel file the
    // export read has the exact one.
    WrittenAudioCheck::ProbedAudio writtenAudio;
    WrittenAudioCheck::ProbedAudio sourceAudio;
    if (!ProbeStep(Label1[8], stepName, written, writtenAudio)
        || !ProbeStep(Label1[8], stepName, shared.LeftSourceWav, sourceAudio))
        return;
    QString problem = WrittenAudioCheck::WrittenFileProblem(writtenAudio, sourceAudio);
    if (problem.isEmpty())
        problem = OutputReplacement::ReplaceTarget(written, shared.OutputFile);
    if (!problem.isEmpty()) {
        FailStep(Label1[8], stepName, problem);
        return;
    }
    // The file is the user's now: closing the window keeps it.
    mTemporaryOutput.clear();
    Label1[8]->setText(Completed);
    objDOS.reset();
}

bool Form3::Cancelled(const std::shared_ptr<DOSOutputs> &runner) const
{
    return mUnloading || objDOS != runner || runner->LastRunEnd() == DOSOutputs::RunEnd::Stopped;
}

bool Form3::RunStep(QLabel *status, const QString &stepName, const QString &command,
                    const QString &output)
{
    // The window may close and objDOS change while the tool runs; this copy
    // keeps the runner alive and tells whether it is still the current one.
    const std::shared_ptr<DOSOutputs> runner = objDOS;
    if (!runner || Cancelled(runner))
        return false;
    // A channel file left by an earlier preview or export must never be
    // merged as if this run had written it.
    QFile::remove(output);
    if (!RunToEnd(runner, command))
        return false;
    const QString failure = RunFailure(*runner, QStringLiteral("ffmpeg"), output);
    if (!failure.isEmpty()) {
        FailStep(status, stepName, failure);
        return false;
    }
    return true;
}

bool Form3::ProbeStep(QLabel *status, const QString &stepName, const QString &file,
                      WrittenAudioCheck::ProbedAudio &probed)
{
    const std::shared_ptr<DOSOutputs> runner = objDOS;
    if (!runner || Cancelled(runner))
        return false;
    if (!RunToEnd(runner, ChannelCommands::ProbeAudio(ToolFolder(QStringLiteral("ffprobe")), file)))
        return false;
    const QString failure = RunFailure(*runner, QStringLiteral("ffprobe"));
    if (!failure.isEmpty()) {
        FailStep(status, stepName, failure);
        return false;
    }
    probed = WrittenAudioCheck::ParseProbedAudio(runner->Outputs());
    return true;
}

bool Form3::RunToEnd(const std::shared_ptr<DOSOutputs> &runner, const QString &command)
{
    runner->SetCommandLine(command);
    runner->ExecuteCommand();
    if (!Cancelled(runner))
        return true;
    if (objDOS == runner)
        objDOS.reset();
    RemoveIncompleteOutput();
    return false;
}

void Form3::FailStep(QLabel *status, const QString &stepName, const QString &failure)
{
    status->setText(Failed);
    // The user chose the target and never sees the temporary name.
    QString said = stepName + QLatin1String(" failed: ") + failure;
    if (!mTemporaryOutput.isEmpty())
        said.replace(mTemporaryOutput, Shared().OutputFile);
    ShowFailure(said);
    objDOS.reset();
    RemoveIncompleteOutput();
}

void Form3::ShowFailure(const QString &failure)
{
    Label2->setText(failure);
    Label2->setToolTip(failure);
}

void Form3::RemoveIncompleteOutput()
{
    if (mTemporaryOutput.isEmpty())
        return;
    QFile::remove(mTemporaryOutput);
    mTemporaryOutput.clear();
}

void Form3::objDOS_ReceiveOutputs(QString &CommandOutputs)
{
    QCoreApplication::processEvents();
    if (mUnloading)
        return;
    if (CommandOutputs.contains(QLatin1String("\r\n")))
        CommandOutputs.replace(QLatin1String("\r\n"), QLatin1String(" "));
    Counters.TakeChunk(CommandOutputs);
    // The text shows the bar as it stood before this chunk, so it trails the
    // bar by one chunk; the empty chunk at the end of each run catches up.
    const int before = PBar->value();
    const int maximum = PBar->maximum();
    PBar->setValue(std::min(Counters.Total(), maximum));
    Label1[5]->setText(ExportProgress::ProgressLabel(before, maximum));
}

void Form3::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (mUnloading)
        return;
    mUnloading = true;
    Timer1->stop();
    if (objDOS)
        objDOS->Stop();
    RemoveIncompleteOutput();
    if (mExporting) {
        // The export is still on the stack and deletes the window once it
        // unwinds; until then the owner's end must not take it along.
        setParent(nullptr);
        return;
    }
    mSequence.reset();
    deleteLater();
}
