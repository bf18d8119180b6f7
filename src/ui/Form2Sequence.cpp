// Form2's inspection: the duration probe, the channel split and the
// re-application of the band settings, with the failures it reports.
#include "ui/Form2.h"

#include "core/system/AppFolder.h"
#include "ui/mainwindow/MainWindow.h"
#include "session/Session.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <limits>

void Form2::GetSourceDuration()
{
    PBar->setValue(25);
    // The open source, its facts and its channel files stay in use until
    // the new source has been split: a failure leaves them working.
    objDOS = mSession->NewImport(mSource);
    mImported = false;
    // The session keeps the source's duration, rate and peak.
    connect(objDOS.get(), &ImportJob::output, this, &Form2::ImportOutput);
    connect(objDOS.get(), &ImportJob::probed, this, &Form2::Probed);
    connect(objDOS.get(), &ImportJob::splitStarted, this, &Form2::SplitStarted);
    connect(objDOS.get(), &ImportJob::failed, this, &Form2::ImportFailed);
    connect(objDOS.get(), &ImportJob::ended, this, &Form2::ImportEnded);

    if (mSource.isEmpty()) {
        objDOS.reset();
        ShowFailure(QStringLiteral("Searching Failed"),
                    QStringLiteral("The chosen file cannot be found"));
        mInspecting = false;
        return;
    }
    objDOS->Start();
}

void Form2::InspectionEnded()
{
    mInspecting = false;
    // Closed while the inspection ran: the deletion was held back until now.
    if (mClosed) {
        deleteLater();
        return;
    }
    if (mImported)
        GetAudioData();
    else
        objDOS.reset();
}

void Form2::GetAudioData()
{
    SetBothStatus(QStringLiteral("Extracting Chanel Data Complete"));
    PBar->setValue(80);
    objDOS.reset();

    // The session applied every band for the new source; the captions
    // follow its rate.
    if (mOwner)
        mOwner->ShowSourceBands();
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

void Form2::Probed()
{
    PBar->setValue(50);
    SetBothStatus(QStringLiteral("Search Audio Data"));
}

void Form2::SplitStarted()
{
    SetBothStatus(QStringLiteral("Extracting Chanel Data"));
}

void Form2::ImportFailed(const QString &heading, const QString &reason)
{
    if (!mClosed)
        ShowFailure(heading, reason);
}

void Form2::ImportEnded(bool completed)
{
    mImported = completed;
    QTimer::singleShot(0, this, &Form2::InspectionEnded);
}

void Form2::ShowFailure(const QString &heading, const QString &reason)
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
    // The inspection has ended: "Open" may choose another source.
    MarkSequenceEnded();
}
