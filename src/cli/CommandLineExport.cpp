#include "cli/CommandLineExport.h"

#include "core/system/AppFolder.h"
#include "core/system/QuitOnSignal.h"
#include "core/equalizer/ChannelPlan.h"
#include "dsp/EqualizerSettings.h"
#include "core/equalizer/EqualizerState.h"
#include "core/equalizer/OutputLevel.h"
#include "core/tools/ExportProgress.h"
#include "core/system/OutputRefusal.h"
#include "core/system/OutputReplacement.h"
#include "core/tools/WrittenAudioCheck.h"
#include "jobs/ExportJob.h"
#include "jobs/ImportJob.h"
#include "core/presets/PresetFile.h"

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

namespace {

void Say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

// One input to one output: the import, then the export with chains built
// for the source's sample rate. A whole run probes the source and renders
// it in one ffmpeg run, without channel files.
class FileExport : public ImportObserver, public ExportObserver
{
public:
    FileExport(const QString &input, const QString &output, const EqualizerSettings &settings,
               const QString &workspace, bool whole, std::function<void()> ended)
        : mInput(input), mOutput(output), mSettings(settings), mWorkspace(workspace),
          mWhole(whole), mEnded(std::move(ended))
    {
    }

    ~FileExport() override
    {
        QDir(mWorkspace).removeRecursively();
    }

    // inputs: all of the run's, none of which may be written over.
    void Start(bool overwrite, const QStringList &inputs)
    {
        if (!QFileInfo(mInput).isFile())
            return Refuse(QStringLiteral("The chosen file cannot be found: %1").arg(mInput));
        const QString refusal = OutputRefusal(mOutput, inputs);
        if (!refusal.isEmpty())
            return Refuse(refusal);
        // A link that leads nowhere holds the name as well.
        const QFileInfo existing(mOutput);
        if ((existing.exists() || existing.isSymLink()) && !overwrite)
            return Refuse(QStringLiteral("%1 exists: --overwrite replaces it").arg(mOutput));
        // Made now, it proves that the output can be written before any
        // tool runs; the output itself is left alone until the result is
        // complete.
        mTemporary = OutputReplacement::TemporaryOutput::Create(mOutput);
        mOverwrite = overwrite;
        if (!mTemporary)
            return Refuse(QStringLiteral("The output file could not be created: %1").arg(mOutput));
        if (!QDir().mkpath(mWorkspace))
            return Refuse(QStringLiteral("The workspace could not be created: %1").arg(mWorkspace));
        mPaths = JobPaths::InFolder(mWorkspace);
        ImportRequest request;
        request.sourceFile = mInput;
        if (!mWhole) {
            request.leftWav = mPaths.LeftSourceWav;
            request.rightWav = mPaths.RightSourceWav;
        }
        request.proberFolder = ToolFolder(QStringLiteral("ffprobe"));
        request.encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
        mImport = std::make_unique<ImportJob>(request, static_cast<ImportObserver *>(this));
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
    void ImportOutput(const QString &) override {}
    void DurationRead(const QString &seconds) override { mDuration = seconds; }
    void Probed(int sampleRate, int bitsPerSample) override
    {
        mSampleRate = sampleRate;
        mBitsPerSample = bitsPerSample;
    }
    void SplitStarted() override {}
    void SourcePeakMeasured(double peakDb) override { mSourcePeakDb = peakDb; }
    void ImportFailed(const QString &heading, const QString &reason) override
    {
        mFailure = heading + QLatin1String(": ") + reason;
    }

    void ImportEnded(bool completed) override
    {
        if (!completed || mCancelled)
            return Later([this] { Finish(mFailure.isEmpty() ? QStringLiteral("stopped") : mFailure); });
        EqualizerState state;
        state.LowCutEnabled = mSettings.lowCut;
        state.Bandwidth = mSettings.bandwidth;
        state.SourceSampleRate = mSampleRate;
        // The window's way to the chains, so "As drawn" and "Avoid clipping"
        // in a preset act here too; the latter needs the source's peak,
        // unknown (NaN) until the import reports it.
        ChannelPlanner planner;
        QString chains[2];
        for (int channel = 0; channel < 2; ++channel) {
            BandGains gains;
            for (int band = 0; band < EqualizerSettings::BandCount; ++band)
                gains[band] = QString::fromStdString(mSettings.GainText(channel, band));
            planner.Update(mSettings, channel, mSampleRate, mSourcePeakDb);
            chains[channel] = ChannelPlanText::ChainText(state, gains, planner.Plan(channel));
        }
        ExportRequest request;
        request.paths = mPaths;
        request.leftVolume = OutputLevelFromPosition(qint16(mSettings.channels[0].levelPosition)).level;
        request.rightVolume = OutputLevelFromPosition(qint16(mSettings.channels[1].levelPosition)).level;
        request.leftChain = chains[0];
        request.rightChain = chains[1];
        request.target = QFileInfo(mOutput).absoluteFilePath();
        request.replaceExisting = mOverwrite;
        request.encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
        request.proberFolder = ToolFolder(QStringLiteral("ffprobe"));
        if (mWhole)
            request.sourceFile = mInput;
        request.sourceBitsPerSample = mBitsPerSample;
        // The job removes the temporary file from now on.
        request.temporaryOutput = std::move(mTemporary);
        // A whole run is one step of the three the bar counts.
        mBarMaximum = ExportProgress::BarMaximum(mDuration) / (mWhole ? 3 : 1);
        mExport = std::make_unique<ExportJob>(request, static_cast<ExportObserver *>(this));
        mExport->SaveChanels();
    }

    void RowStarted(int) override {}
    void RowOutput(int row, const QString &chunk) override
    {
        mCounters.ExportStage = qint16(row);
        mCounters.TakeChunk(chunk);
        if (mBarMaximum <= 0)
            return;
        const int percent = std::min(100, int(100LL * mCounters.Total() / mBarMaximum));
        if (percent / 10 > mShownPercent / 10) {
            mShownPercent = percent;
            Say(QStringLiteral("%1: %2% exported").arg(mInput).arg(percent));
        }
    }
    void RowCompleted(int) override {}
    void RowFailed(int, const QString &said) override { mFailure = said; }
    void RowStopped(int) override {}
    void WrittenPeakMeasured(double peakDb) override { mSaved = WrittenAudioCheck::SavedPeakText(peakDb); }
    void ExportEnded(bool completed) override
    {
        Later([this, completed] {
            Finish(completed && !mCancelled ? QString()
                   : mFailure.isEmpty()    ? QStringLiteral("stopped")
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
    bool mWhole = false;
    std::function<void()> mEnded;
    JobPaths mPaths;
    std::shared_ptr<OutputReplacement::TemporaryOutput> mTemporary;
    bool mOverwrite = false;
    QString mDuration;
    int mSampleRate = 0;
    double mSourcePeakDb = std::numeric_limits<double>::quiet_NaN();
    int mBitsPerSample = 0;
    QString mSaved; // what the export says of the written file
    int mBarMaximum = 0;
    int mShownPercent = 0;
    ExportCounters mCounters;
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
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

bool ReadSettings(const CommandLineRequest &request, EqualizerSettings *settings, QString *problem)
{
    if (!request.preset.isEmpty() && !PresetFile::Read(request.preset, settings, problem))
        return false;
    for (const CommandLineRequest::BandGain &gain : request.bands) {
        settings->channels[gain.channel].gains[gain.band] = gain.gain;
        settings->channels[gain.channel].moved[gain.band] = true;
    }
    settings->lowCut = settings->lowCut || request.lowCut;
    if (request.bandwidth > 0)
        settings->bandwidth = request.bandwidth;
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
    // A file's two channels render at once, but its split, merge and probes
    // add a third to the work. Once the files running together fill every
    // core, one ffmpeg run a file (no split, no merge) gets more done.
    const int cores = std::max(1, QThread::idealThreadCount());
    const int atOnce = request.jobs > 0 ? request.jobs : cores;
    // "Avoid clipping" needs the peak that only the split measures.
    const bool whole = batch && !settings.avoidClipping
        && std::min<qsizetype>(atOnce, request.files.size()) >= cores;

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
            WorkspaceFolder() + QStringLiteral("/job-%1").arg(exports.size() + 1), whole, ended));
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
    });
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
    if (interrupted)
        return 130;
    return failed > 0 ? 1 : 0;
}
