// Each ear's hearing levels from an audiogram, in the three forms people
// keep them: a column per ear, a row per ear, or JSON.
#pragma once

#include "dsp/TargetCurve.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace Audiogram {

struct Levels
{
    // dB HL by frequency, left ear first, sorted.
    std::array<std::vector<TargetCurve::Point>, 2> ears;
    QStringList notUsed;
};

// "frequency, left dB HL, right dB HL" rows, a first row of titles skipped;
// or a title row with an "Ear" column and the frequencies as titles, then
// an "L" and an "R" row ("Subject, Ear, 500, 1000, ..."): the first
// subject's, an empty cell a frequency not measured.
bool FromCsv(const QString &text, Levels *levels, QString *problem);

// "audiogram_cfs", "audiogram_levels_l" and "audiogram_levels_r": the
// frequencies and each ear's levels, null where not measured.
bool IsAudiogramJson(const QJsonObject &root);
bool FromJson(const QJsonObject &root, Levels *levels, QString *problem);

// A hearing-research data set's listeners file: one such object per
// listener, keyed by the listener's name, or a list of them, each named by
// its "name" (else its place, from 1). Their names, in the file's key or
// list order; empty for any other JSON.
QStringList Listeners(const QJsonDocument &document);
// One listener's object; empty when the file has no listener of that name.
QJsonObject Listener(const QJsonDocument &document, const QString &name);

} // namespace Audiogram
