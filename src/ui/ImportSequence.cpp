// ImportWindow's sequence: the duration probe, the channel split and the
// re-application of the band settings, with the failures it reports.
#include "ui/ImportWindow.h"

#include "core/system/AppFolder.h"
#include "ui/mainwindow/MainWindow.h"
#include "session/Session.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <limits>

void ImportWindow::GetSourceDuration()
{
    PBar->setValue(25);
    // The open source, its facts and its channel files stay in use until
    // the new source has been split: a failure leaves them working.
    mJob = mSession->NewImport(mSource);
    mImported = false;
    // The session keeps the source's duration, rate and peak.
    connect(mJob.get(), &ImportJob::output, this, &ImportWindow::ImportOutput);
    connect(mJob.get(), &ImportJob::probed, this, &ImportWindow::Probed);
    connect(mJob.get(), &ImportJob::splitStarted, this, &ImportWindow::SplitStarted);
    connect(mJob.get(), &ImportJob::failed, this, &ImportWindow::ImportFailed);
    connect(mJob.get(), &ImportJob::ended, this, &ImportWindow::ImportEnded);

    if (mSource.isEmpty()) {
        mJob.reset();
        ShowFailure(QStringLiteral("Searching Failed"),
                    QStringLiteral("The chosen file cannot be found"));
        mImporting = false;
        return;
    }
    mJob->Start();
}

void ImportWindow::SequenceFinished()
{
    mImporting = false;
    // Closed while the import ran: the deletion was held back until now.
    if (mClosed) {
        deleteLater();
        return;
    }
    if (mImported)
        GetAudioData();
    else
        mJob.reset();
}

void ImportWindow::GetAudioData()
{
    SetBothStatus(QStringLiteral("Extracting Chanel Data Complete"));
    PBar->setValue(80);
    mJob.reset();

    // The session applied every band for the new source; the captions
    // follow its rate.
    if (mOwner)
        mOwner->ShowSourceBands();
    Timer2->start();
}

void ImportWindow::ShowToolOutput(QString &)
{
    if (mClosed)
        return;
    PBar->setValue(75);
}

void ImportWindow::ImportOutput(const QString &chunk)
{
    QString copy = chunk;
    ShowToolOutput(copy);
}

void ImportWindow::Probed()
{
    PBar->setValue(50);
    SetBothStatus(QStringLiteral("Search Audio Data"));
}

void ImportWindow::SplitStarted()
{
    SetBothStatus(QStringLiteral("Extracting Chanel Data"));
}

void ImportWindow::ImportFailed(const QString &heading, const QString &reason)
{
    if (!mClosed)
        ShowFailure(heading, reason);
}

void ImportWindow::ImportEnded(bool completed)
{
    mImported = completed;
    QTimer::singleShot(0, this, &ImportWindow::SequenceFinished);
}

void ImportWindow::ShowFailure(const QString &heading, const QString &reason)
{
    mFailed = true;
    if (mOwner)
        mOwner->ShowOpenSource();
    Label2[0]->setText(heading);
    // The reason is often longer than one status row: it takes the rows
    // down to the button, where the bar stood, and wraps.
    PBar->hide();
    Label2[1]->setWordWrap(true);
    Label2[1]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwips(Label2[1], 2280, 1440, 3495, 690);
    Label2[1]->setText(reason);
    Label2[1]->setToolTip(reason);
    // The import has ended: "Open" may choose another source.
    MarkSequenceEnded();
}
