// Form2's inspection: the duration probe, the channel split and the
// re-application of the band settings, with the failures it reports.
#include "ui/Form2.h"

#include "core/system/AppFolder.h"
#include "ui/form1/Form1.h"
#include "session/SharedState.h"
#include "ui/Twips.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <limits>

void Form2::GetSourceDuration()
{
    PBar->setValue(25);
    // A new source's import must leave nothing of the previous source
    // behind when it fails: neither its duration nor its channel files,
    // which the preview and the export would otherwise use silently.
    Shared().SourceDuration.clear();
    Shared().SourceSampleRate = 0;
    Shared().SourceBitsPerSample = 0;
    Shared().SourcePeakDb = std::numeric_limits<double>::quiet_NaN();
    if (mOwner)
        mOwner->ShowSourceBands();
    QFile::remove(Shared().LeftSourceWav);
    QFile::remove(Shared().RightSourceWav);

    if (Shared().SourceFile.isEmpty()) {
        ShowFailure(QStringLiteral("Searching Failed"),
                    QStringLiteral("The chosen file cannot be found"));
        return;
    }

    ImportRequest request;
    request.sourceFile = Shared().SourceFile;
    request.leftWav = Shared().LeftSourceWav;
    request.rightWav = Shared().RightSourceWav;
    request.proberFolder = ToolFolder(QStringLiteral("ffprobe"));
    request.encoderFolder = ToolFolder(QStringLiteral("ffmpeg"));
    ImportObserver *observer = this;
    objDOS = std::make_unique<ImportJob>(request, observer);
    mImported = false;
    QPointer<Form2> self(this);
    QEventLoop loop;
    // The job goes with the window when its owner is destroyed meanwhile.
    connect(objDOS.get(), &QObject::destroyed, &loop, &QEventLoop::quit);
    mWaiting = &loop;
    objDOS->Start();
    if (objDOS->IsRunning())
        loop.exec();
    if (!self)
        return; // gone with its owner
    mWaiting = nullptr;
    if (mClosed)
        return;
    if (mImported)
        GetAudioData();
}

void Form2::GetAudioData()
{
    SetBothStatus(QStringLiteral("Extracting Chanel Data Complete"));
    PBar->setValue(80);
    objDOS.reset();

    // The band settings made before the import stay in force for the new
    // source: each band does what a user's move of its slider does.
    if (mOwner) {
        mOwner->ReapplyAllBands();
        mOwner->ShowSourceBands();
    }
    Timer2->start();
}

void Form2::objDOS_ReceiveOutputs(QString &)
{
    if (mClosed)
        return;
    PBar->setValue(75);
}

void Form2::ImportOutput(const QString &chunk)
{
    QString copy = chunk;
    objDOS_ReceiveOutputs(copy);
}

void Form2::DurationRead(const QString &seconds)
{
    Shared().SourceDuration = seconds;
}

void Form2::Probed(int sampleRate, int bitsPerSample)
{
    PBar->setValue(50);
    SetBothStatus(QStringLiteral("Search Audio Data"));
    // Bands at or above half the rate are left out of the chains that the
    // re-application after the split builds.
    Shared().SourceSampleRate = sampleRate;
    Shared().SourceBitsPerSample = bitsPerSample;
}

void Form2::SplitStarted()
{
    SetBothStatus(QStringLiteral("Extracting Chanel Data"));
}

void Form2::SourcePeakMeasured(double peakDb)
{
    Shared().SourcePeakDb = peakDb;
}

void Form2::ImportFailed(const QString &heading, const QString &reason)
{
    if (!mClosed)
        ShowFailure(heading, reason);
}

void Form2::ImportEnded(bool completed)
{
    mImported = completed;
    if (mWaiting)
        mWaiting->quit();
}

void Form2::ShowFailure(const QString &heading, const QString &reason)
{
    mFailed = true;
    // What a failed split left behind is no sound copy of the source.
    QFile::remove(Shared().LeftSourceWav);
    QFile::remove(Shared().RightSourceWav);
    Label2[0]->setText(heading);
    // The reason is often longer than one status row: it takes the rows
    // down to the button, where the bar stood, and wraps.
    PBar->hide();
    Label2[1]->setWordWrap(true);
    Label2[1]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwips(Label2[1], 2280, 1440, 3495, 690);
    Label2[1]->setText(reason);
    Label2[1]->setToolTip(reason);
    // The inspection has ended: "Open" may choose another source.
    MarkSequenceEnded();
}
