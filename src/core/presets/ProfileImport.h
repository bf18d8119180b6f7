// Profiles from other tools onto the band sliders, played as drawn:
// Preamp/Filter/GraphicEQ configuration text, equalization CSV, JSON
// equalizer presets and audiograms (CSV or JSON).
#pragma once

#include "dsp/BiquadResponse.h"
#include "dsp/EqualizerSettings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>

class EqualizerModel;

namespace ProfileImport {

// For the window that offers audiogram import: the curve is a comfort
// setting and must never pass for a hearing aid.
extern const char AudiogramLabel[];

struct Result
{
    bool ok = false;
    // The settings given, with the channels the profile names replaced:
    // every band of such a channel is set (moved) to the profile's curve at
    // its frequency, its preamp to the profile's, and "As drawn" on so that
    // the chain plays the curve rather than the sum of overlapping bands.
    // Range, levels and the other options are kept, the sync included:
    // nothing is copied between channels. A file Brenvox wrote is read
    // back as the settings it was written from.
    EqualizerSettings settings;
    std::array<bool, EqualizerSettings::ChannelCount> channelsSet{};
    // Per channel set: the largest difference between the profile's curve
    // (its preamp included) and what the channel's chain plays, from 20 Hz
    // to 20 kHz or half the rate; the message rounds it up.
    std::array<double, EqualizerSettings::ChannelCount> largestDifferenceDb{};
    // Per channel: the profile's preamp as written, and the common level
    // taken off the sliders and added to the preamp so that the curve fits
    // the range.
    std::array<double, EqualizerSettings::ChannelCount> preampDb{};
    std::array<double, EqualizerSettings::ChannelCount> offsetDb{};
    bool audiogram = false;
    // When the file holds several listeners' audiograms and none was
    // chosen: their names, to choose one from.
    QStringList listeners;
    // What was done (channels, difference, where the bands cannot follow,
    // preamp, lines not used) or, when !ok, the one thing that is wrong; it
    // names the file either way.
    QString message;
};

// By content: JSON is an equalizer preset or an audiogram; a file whose
// name ends in ".csv" is an equalization curve or an audiogram; anything
// else is configuration text. Of a listeners file (Audiogram::Listeners)
// the listener named, the only one, or else none: the result lists them.
// Once *stop is set (from another thread) it returns soon, its result not
// to be used.
Result ImportFile(const QString &path, const EqualizerSettings &current,
                  double sampleRate = BiquadResponse::DefaultSampleRate, const QString &listener = QString(),
                  const std::atomic<bool> *stop = nullptr);

// Configuration text (ProfileFormats::FromConfiguration). A channel whose
// filters all sit on Brenvox's own bands with the current bandwidth (an
// export of an older Brenvox) is taken band for band, "As drawn" off.
Result FromText(const QString &name, const QString &text, const EqualizerSettings &current,
                double sampleRate = BiquadResponse::DefaultSampleRate, const std::atomic<bool> *stop = nullptr);

// An audiogram as CSV (Audiogram::FromCsv). Each ear gets half its hearing
// level as a boost (nothing at or below 0 dB HL), interpolated over log
// frequency and flat beyond the first and last levels; then both ears are
// lowered by one offset until the largest boost fits the range, so the
// difference between them stays; what still lies beyond is clamped.
// "Avoid clipping" and "As drawn" on.
Result FromAudiogram(const QString &name, const QString &text, const EqualizerSettings &current,
                     double sampleRate = BiquadResponse::DefaultSampleRate);

// The settings an import leaves once read: its own, with the channels it
// did not set as they are in `current` (which may have changed while the
// file was read).
EqualizerSettings Applied(const Result &result, const EqualizerSettings &current);

// "Cannot import the profile <name>: <problem>."
QString Refusal(const QString &name, const QString &problem);

// ImportFile, then the settings into the model when it worked and the model
// took them.
bool Load(const QString &path, EqualizerModel &model, QString *message,
          double sampleRate = BiquadResponse::DefaultSampleRate);

} // namespace ProfileImport
