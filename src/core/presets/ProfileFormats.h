// Profiles from other tools as target curves per channel: Preamp/Filter/
// GraphicEQ configuration text, a measurement CSV with an "equalization"
// column and a JSON equalizer preset with its bands per channel.
#pragma once

#include "dsp/TargetCurve.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <array>
#include <atomic>

namespace ProfileFormats {

struct Profile
{
    // Per channel, left first: the filters and graphic curves it applies,
    // whether it names the channel at all, and its preamp in dB.
    std::array<TargetCurve::Curve, 2> curves;
    std::array<bool, 2> covered{};
    std::array<double, 2> preampDb{};
    // Each line or part not used, quoted, with why where it can be said:
    // nothing is left out without a word.
    QStringList notUsed;
    // Those among them set aside for a value beyond every real profile's.
    QStringList setAside;
};

// Preamp, Filter, GraphicEQ and Channel lines; numbers with a decimal comma
// or glued to their unit are read too. Filter types: PK, PEQ and Modal
// (peaking); LP, HP, LPQ, HPQ, BP, NO, AP (Q 0.707 unless given); LS and HS
// (corner frequency; shelf slope 0.9 unless a Q is given); LSC and HSC
// (centre frequency, Q 0.707 unless given). Channels L or 1, R or 2, ALL.
// False when the file cannot be a profile, *problem saying why, or once
// *stop is set.
bool FromConfiguration(const QString &text, double sampleRate, Profile *profile, QString *problem,
                       const std::atomic<bool> *stop = nullptr);

// A first row naming the columns "frequency" and "equalization".
bool IsEqualizationCsv(const QString &text);
// The "equalization" column, a graphic curve for both channels.
bool FromEqualizationCsv(const QString &text, Profile *profile, QString *problem);

// The first equalizer of the preset's output (else input) effects: its
// bands in use, left and right apart when its channels are split, the
// input and output gains as the preamp; its other effects are listed as
// not used. False when no band is in use.
bool IsSplitChannelPreset(const QJsonObject &root);
bool FromSplitChannelPreset(const QJsonObject &root, double sampleRate, Profile *profile, QString *problem);

// The first dozen items and "N more": a message stays readable whatever
// the file holds.
QString Listed(const QStringList &items, const QString &separator = QStringLiteral("; "));

// "12 \"Include: more.txt\" (why)", the line numbered from 1.
QString LineNotUsed(int index, const QString &line, const QString &why);

} // namespace ProfileFormats
