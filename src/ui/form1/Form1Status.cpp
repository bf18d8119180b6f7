// The main window's status line: a source downmixed to stereo, which bands the open source or the
// bandwidth leaves no room for, and tools that cannot be found.
#include "ui/form1/Form1.h"

#include "core/system/AppFolder.h"
#include "core/equalizer/BandTable.h"
#include "core/equalizer/SettingsHistory.h"

#include <QFileInfo>
#include <QLabel>

namespace {

// "49 to 65 (4K to 20K)"; one band is named alone. Bands count from 1, as
// on the command line and in preset files.
QString BandRange(int first, int last)
{
    if (first == last)
        return QStringLiteral("%1 (%2)").arg(first + 1).arg(BandTable::Caption(first).trimmed());
    return QStringLiteral("%1 to %2 (%3 to %4)")
        .arg(first + 1)
        .arg(last + 1)
        .arg(BandTable::Caption(first).trimmed(), BandTable::Caption(last).trimmed());
}

} // namespace

void Form1::ShowStatus(const QString &text)
{
    if (!StatusLine)
        return;
    StatusLine->setText(text);
    StatusLine->setToolTip(text);
}

void Form1::ShowSourceBands()
{
    const int sampleRate = mSession.SourceSampleRate();
    int firstInactive = -1;
    for (int band = 0; band < Label1.size() && band < Label5.size(); ++band) {
        if (!BandTable::ActsAtSampleRate(band, sampleRate) && firstInactive < 0)
            firstInactive = band;
    }
    // The bands are ordered by frequency: the inactive ones are the top ones.
    QStringList notes{mSession.SourceNote()};
    if (firstInactive >= 0)
        notes << QStringLiteral("This source is sampled at %1 Hz: bands %2 have no effect on it.")
                     .arg(sampleRate)
                     .arg(BandRange(firstInactive, BandTable::LastBand));
    notes.removeAll(QString());
    mSourceStatus = notes.join(QLatin1String("  "));
    ShowBandwidthBands();
}

void Form1::ShowBandwidthBands()
{
    const int sampleRate = mSession.SourceSampleRate();
    const int bandwidth = mSession.Settings().bandwidth;
    int first = -1;
    int last = -1;
    for (int band = 0; band < Label1.size() && band < Label5.size(); ++band) {
        const bool acts = BandTable::BandActs(band, sampleRate, bandwidth);
        Label1[band]->setEnabled(acts);
        Label5[band]->setEnabled(acts);
        if (acts || !BandTable::ActsAtSampleRate(band, sampleRate))
            continue;
        if (first < 0)
            first = band;
        last = band;
    }
    mBandwidthStatus = first < 0
        ? QString()
        : QStringLiteral("At a bandwidth of %1, bands %2 cannot act at %3 Hz and are left out.")
              .arg(BandwidthText(bandwidth))
              .arg(BandRange(first, last))
              .arg(sampleRate);
    ShowNotes();
}

void Form1::ShowNotes()
{
    QStringList notes{mToolStatus, mSourceStatus, mBandwidthStatus};
    notes.removeAll(QString());
    ShowStatus(notes.join(QLatin1String("  ")));
}

void Form1::CheckTools()
{
    QStringList missing;
    for (const char *tool : {"ffmpeg", "ffprobe", "ffplay"}) {
        const QString name = QLatin1String(tool);
        if (!QFileInfo(ToolFolder(name) + QLatin1Char('/') + name).isExecutable())
            missing << name;
    }
    mToolStatus = missing.isEmpty()
        ? QString()
        : QStringLiteral("Not found: %1. Looked in %2. Install Debian's ffmpeg package.")
              .arg(missing.join(QLatin1String(", ")), ToolSearchFolders().join(QLatin1String(", ")));
    ShowNotes();
}
