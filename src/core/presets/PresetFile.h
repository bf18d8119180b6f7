// Brenvox preset files: every equalizer setting as small, versioned,
// indented JSON.
#pragma once

#include "dsp/EqualizerSettings.h"

#include <QByteArray>
#include <QString>

class EqualizerModel;

namespace PresetFile {

// Written into every file as "format" and "version"; a file with a higher
// version is refused rather than half understood. Version 2 added each
// channel's preamp; a version 1 file reads as 0 dB.
extern const QLatin1String FormatName;
constexpr int Version = 2;

QByteArray ToJson(const EqualizerSettings &settings);

// Unknown keys are ignored. On failure *problem says what is wrong
// (without the file's name) and *settings is untouched.
bool FromJson(const QByteArray &json, EqualizerSettings *settings, QString *problem);

// Written whole or not at all. *message names the file on failure.
bool Save(const QString &path, const EqualizerSettings &settings, QString *message);

// On failure *message is one sentence naming the file and what is wrong,
// and neither *settings nor the model changes.
bool Read(const QString &path, EqualizerSettings *settings, QString *message);
bool Load(const QString &path, EqualizerModel &model, QString *message);

} // namespace PresetFile
