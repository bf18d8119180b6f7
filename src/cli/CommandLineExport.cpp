#include "cli/CommandLineExport.h"

#include "core/presets/PresetFile.h"
#include "core/presets/ProfileImport.h"
#include "dsp/BiquadResponse.h"
#include "core/system/AppFolder.h"
#include "core/system/OutputRefusal.h"
#include "core/system/OutputReplacement.h"
#include "core/system/NativePath.h"
#include "core/system/QuitOnSignal.h"
#include "core/system/SourceCheck.h"
#include "core/tools/WrittenAudioCheck.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <cstdio>
#include <functional>
#include <limits>
#include <memory>

#include <sys/stat.h>

namespace {

void Say(const QString &line)
{
    // Names as the user typed them, byte for byte.
    std::fputs(NativePath::ToBytes(line + QLatin1Char('\n')).constData(), stderr);
    std::fflush(stderr);
}

// One input to one output on a session of its own: the import, then the
// export with the chains the session builds for the source, as the
// window's do. Unless the split must measure the source's peak, the import
// only probes the source and the renders read it, without channel files.
class FileExport
{
public:
    FileExport(const QString &input, const QString &output, const EqualizerSettings &settings,
               const QString &workspace, ExportReads reads, std::function<void()> ended)
        : mInput(input), mOutput(output), mSettings(settings), mWorkspace(workspace),
          mReads(reads), mEnded(std::move(ended)), mSession(Session::Options{false, workspace})
    {
    }

    ~FileExport()
    {
        QDir(mWorkspace).removeRecursively();
    }

    // inputs: all of the run's, none of which may be written over.
    void Start(bool overwrite, const QStringList &inputs)
    {
        if (const QString refusal = SourceCheck::Refusal(mInput); !refusal.isEmpty())
            return Refuse(refusal);
        const QString refusal = OutputRefusal(mOutput, inputs);
        if (!refusal.isEmpty())
            return Refuse(refusal);
        // A link that leads nowhere holds the name as well.
        struct stat existing = {};
        if (::lstat(NativePath::ToBytes(mOutput).constData(), &existing) == 0 && !overwrite)
            return Refuse(QStringLiteral("%1 exists: --overwrite replaces it").arg(mOutput));
        // Made now, it proves that the output can be written before any
        // tool runs; the output itself is left alone until the result is
        // complete.
        QString problem;
        mTemporary = OutputReplacement::TemporaryOutput::Create(mOutput, &problem);
        mOverwrite = overwrite;
        if (!mTemporary)
            return Refuse(QStringLiteral("The output file could not be created: ") + problem);
        if (!mTemporary->Lacks().isEmpty())
            Say(QStringLiteral("%1: %2").arg(mInput, mTemporary->Lacks()));
        if (!QDir().mkpath(mWorkspace))
            return Refuse(QStringLiteral("The workspace could not be created: %1").arg(mWorkspace));
        mSession.SetOutputFile(NativePath::Absolute(mOutput));
        mSession.LoadSettings(mSettings);
        mImport = mSession.NewImport(mInput, mReads == ExportReads::ChannelFiles);
        QObject::connect(mImport.get(), &ImportJob::failed, [this](const QString &heading, const QString &reason) {
            mFailure = heading + QLatin1String(": ") + reason;
        });
        QObject::connect(mImport.get(), &ImportJob::ended, [this](bool completed) { ImportEnded(completed); });
        Say(QStringLiteral("%1: importing").arg(mInput));
        mImport->Start();
    }

    // Ends without running anything, once the caller has unwound.
    void Refuse(const QString &why)
    {
        Later([this, why] { Finish(why); });
    }

    void Cancel()
    {
        mCancelled = true;
        if (mImport && mImport->IsRunning())
            mImport->Cancel();
        if (mExport && mExport->IsRunning())
            mExport->Cancel();
    }

    bool Done() const { return mFinished && mFailure.isEmpty(); }
    bool Finished() const { return mFinished; }
    QString Failure() const { return mFailure; }
    QString Input() const { return mInput; }
    QString Output() const { return mOutput; }

private:
    void ImportEnded(bool completed)
    {
        if (!completed || mCancelled)
            return Later([this] { Finish(mFailure.isEmpty() ? QStringLiteral("stopped") : mFailure); });
        // The session applied every band once more for the source, as at
        // the window's import: "As drawn" and "Avoid clipping" act here too,
        // the latter with the peak the split measured.
        // Told before the export starts; a batch goes on with what the
        // container can hold.
        for (const QString &note : {mSession.SourceNote(), mSession.KeptFor(mOutput).notice}) {
            if (!note.isEmpty())
                Say(QStringLiteral("%1: %2").arg(mInput, note));
        }
        // The job removes the temporary file from now on.
        mExport = mSession.NewExport(std::move(mTemporary), mOverwrite, mReads);
        QObject::connect(mExport.get(), &ExportJob::rowOutput, [this] { ShowProgress(); });
        QObject::connect(mExport.get(), &ExportJob::rowFailed, [this](int, const QString &said) { mFailure = said; });
        QObject::connect(mExport.get(), &ExportJob::writtenPeakMeasured, [this](double peakDb) {
            mSaved = WrittenAudioCheck::SavedPeakText(peakDb);
        });
        QObject::connect(mExport.get(), &ExportJob::ended, [this](bool completed) { ExportEnded(completed); });
        mExport->SaveChanels();
    }

    void ShowProgress()
    {
        if (!mExport || mExport->ProgressMaximum() <= 0)
            return;
        const int percent = std::min(100, int(100LL * mExport->ProgressValue() / mExport->ProgressMaximum()));
        if (percent / 10 > mShownPercent / 10) {
            mShownPercent = percent;
            Say(QStringLiteral("%1: %2% exported").arg(mInput).arg(percent));
        }
    }
    void ExportEnded(bool completed)
    {
        // A stop that came while the file was moved into place came too
        // late: it is there, and the run says so.
        Later([this, completed] {
            Finish(completed              ? QString()
                   : mFailure.isEmpty()   ? QStringLiteral("stopped")
                                          : mFailure);
        });
    }

    // The jobs are still on the stack when they tell their end.
    void Later(std::function<void()> work)
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
    }

    void Finish(const QString &failure)
    {
        mFailure = failure;
        mFinished = true;
        mImport.reset();
        mExport.reset();
        mTemporary.reset();
        // The channel files of a finished file are no use to the files
        // still to come, which need the room.
        QDir(mWorkspace).removeRecursively();
        Say(QStringLiteral("%1: %2").arg(mInput, failure.isEmpty() ? QStringLiteral("done, written to ") + mOutput
                                                               : QStringLiteral("failed: ") + failure));
        if (failure.isEmpty() && !mSaved.isEmpty())
            Say(QStringLiteral("%1: %2").arg(mInput, mSaved));
        mEnded();
    }

    QString mInput;
    QString mOutput;
    EqualizerSettings mSettings;
    QString mWorkspace;
    ExportReads mReads = ExportReads::ChannelFiles;
    std::function<void()> mEnded;
    Session mSession;
    std::shared_ptr<OutputReplacement::TemporaryOutput> mTemporary;
    bool mOverwrite = false;
    QString mSaved; // what the export says of the written file
    int mShownPercent = 0;
    std::unique_ptr<ImportJob> mImport;
    std::unique_ptr<ExportJob> mExport;
    QString mFailure;
    bool mFinished = false;
    bool mCancelled = false;
};

// Every name is a file of the working folder: held as an absolute path
// from the start, none is ever read as a protocol or an option.
QString InWorkingFolder(const QString &path)
{
    return NativePath::Absolute(path);
}

bool ReadSettings(const CommandLineRequest &request, EqualizerSettings *settings, QString *problem)
{
    if (!request.preset.isEmpty() && !PresetFile::Read(request.preset, settings, problem))
        return false;
    if (!request.profile.isEmpty()) {
        // Fitted at 48 kHz, as the window fits it with no source open.
        const ProfileImport::Result read =
            ProfileImport::ImportFile(request.profile, *settings, BiquadResponse::DefaultSampleRate, QString(), nullptr);
        if (!read.ok) {
            *problem = read.message;
            return false;
        }
        *settings = ProfileImport::Applied(read, *settings);
        Say(QStringLiteral("brenvox: ") + read.message);
    }
    for (const CommandLineRequest::BandGain &gain : request.bands) {
        settings->channels[gain.channel].gains[gain.band] = gain.gain;
        settings->channels[gain.channel].moved[gain.band] = true;
    }
    settings->lowCut = settings->lowCut || request.lowCut;
    if (request.bandwidth > 0)
        settings->bandwidth = request.bandwidth;
    settings->asDrawn = settings->asDrawn || request.asDrawn;
    settings->avoidClipping = settings->avoidClipping || request.avoidClipping;
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel) {
        if (request.preampTenths[channel])
            settings->channels[channel].preampTenths = *request.preampTenths[channel];
    }
    // A band beyond a preset's narrow range is nothing its sliders could show.
    const std::string outOfRange = settings->Problem();
    if (!outOfRange.empty()) {
        *problem = QString::fromStdString(outOfRange);
        return false;
    }
    return true;
}

} // namespace

int RunCommandLineExports(const CommandLineRequest &given)
{
    CommandLineRequest request = given;
    for (QString &file : request.files)
        file = InWorkingFolder(file);
    request.output = InWorkingFolder(request.output);
    request.outputFolder = InWorkingFolder(request.outputFolder);
    EqualizerSettings settings;
    QString problem;
    if (!ReadSettings(request, &settings, &problem)) {
        Say(QStringLiteral("brenvox: ") + problem);
        return 2;
    }
    const bool batch = request.action == CommandLineRequest::Action::Batch;
    if (batch && !QDir().mkpath(request.outputFolder)) {
        Say(QStringLiteral("brenvox: the output folder cannot be made: ") + request.outputFolder);
        return 1;
    }
    // A file's two channels render at once, but its merge and probes add a
    // third to the work. Once the files running together fill every core,
    // one ffmpeg run a file (no merge) gets more done.
    const int cores = std::max(1, QThread::idealThreadCount());
    const int atOnce = request.jobs > 0 ? request.jobs : cores;
    // "Avoid clipping" needs the peak that only the split measures; without
    // it, the renders read the source and nothing is split.
    const ExportReads reads = settings.avoidClipping ? ExportReads::ChannelFiles
        : batch && std::min<qsizetype>(atOnce, request.files.size()) >= cores ? ExportReads::SourceInOneRun
                                                                               : ExportReads::Source;

    PrepareWorkspace();
    QEventLoop loop;
    std::vector<std::unique_ptr<FileExport>> exports;
    QSet<QString> outputs;
    int next = 0;
    int running = 0;
    bool interrupted = false;
    std::function<void()> startMore;
    const auto ended = [&] {
        --running;
        startMore();
    };
    for (const QString &input : request.files) {
        const QString output = batch ? QDir(request.outputFolder).filePath(
                                           QFileInfo(input).completeBaseName() + QLatin1Char('.') + request.format)
                                     : request.output;
        exports.push_back(std::make_unique<FileExport>(
            input, output, settings,
            WorkspaceFolder() + QStringLiteral("/job-%1").arg(exports.size() + 1), reads, ended));
    }
    startMore = [&] {
        while (!interrupted && running < atOnce && next < int(exports.size())) {
            FileExport &file = *exports[next++];
            ++running;
            // Two inputs of one name would write one output.
            if (outputs.contains(file.Output())) {
                file.Refuse(QStringLiteral("another INPUT is written to %1").arg(file.Output()));
                continue;
            }
            outputs.insert(file.Output());
            file.Start(request.overwrite, request.files);
        }
        if (running == 0)
            loop.quit();
    };
    QuitOnTerminationSignals([&] {
        if (interrupted)
            return;
        interrupted = true;
        Say(QStringLiteral("brenvox: stopping"));
        for (const std::unique_ptr<FileExport> &file : exports)
            file->Cancel();
    }, true);
    QMetaObject::invokeMethod(&loop, [&] { startMore(); }, Qt::QueuedConnection);
    loop.exec();

    int done = 0;
    int failed = 0;
    if (batch || interrupted)
        Say(QStringLiteral("Summary:"));
    for (const std::unique_ptr<FileExport> &file : exports) {
        if (file->Done())
            ++done;
        else
            ++failed;
        if (!batch && !interrupted)
            continue;
        if (file->Done())
            Say(QStringLiteral("  done: %1 -> %2").arg(file->Input(), file->Output()));
        else if (file->Finished())
            Say(QStringLiteral("  failed: %1: %2").arg(file->Input(), file->Failure()));
        else
            Say(QStringLiteral("  not done: %1").arg(file->Input()));
    }
    if (batch)
        Say(QStringLiteral("%1 done, %2 failed").arg(done).arg(failed));
    exports.clear();
    RemoveWorkspace();
    if (failed == 0)
        return 0;
    return interrupted ? 130 : 1;
}
