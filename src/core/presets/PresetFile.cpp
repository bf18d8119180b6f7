// Turns the settings into a preset's JSON and back, checking every value.
#include "core/presets/PresetFile.h"

#include "core/equalizer/EqualizerModel.h"
#include "core/presets/SmallTextFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

const char *const ChannelKeys[EqualizerSettings::ChannelCount] = {"left", "right"};

QJsonObject ChannelToJson(const ChannelSettings &channel)
{
    QJsonArray gains;
    QJsonArray neverMoved;
    for (int band = 0; band < ChannelSettings::BandCount; ++band) {
        gains.append(channel.gains[band]);
        if (!channel.moved[band])
            neverMoved.append(band + 1);
    }
    return QJsonObject{
        {QStringLiteral("level_position"), channel.levelPosition},
        {QStringLiteral("preamp_db"), channel.PreampDb()},
        {QStringLiteral("gains_db"), gains},
        {QStringLiteral("never_moved_bands"), neverMoved},
    };
}

// Reads JSON values into whole numbers and switches, keeping the first
// problem met.
class Reader
{
public:
    QString problem;

    bool Whole(const QJsonValue &value, const QString &what, int *result)
    {
        if (value.isUndefined())
            return Fail(what + QLatin1String(" is missing"));
        const double number = value.toDouble(std::nan(""));
        if (!value.isDouble() || number != std::floor(number) || std::abs(number) > 1e6)
            return Fail(what + QLatin1String(" is not a whole number"));
        *result = int(number);
        return true;
    }

    // Files from before the switch existed leave it off.
    bool OptionalSwitch(const QJsonValue &value, const QString &what, bool *result)
    {
        return value.isUndefined() || Switch(value, what, result);
    }

    bool Switch(const QJsonValue &value, const QString &what, bool *result)
    {
        if (!value.isBool())
            return Fail(what + QLatin1String(" is not true or false"));
        *result = value.toBool();
        return true;
    }

    bool Channel(const QJsonValue &value, const QString &name, ChannelSettings *channel)
    {
        if (!value.isObject())
            return Fail(QStringLiteral("the %1 channel is missing").arg(name));
        const QJsonObject object = value.toObject();
        if (!Whole(object.value(QLatin1String("level_position")),
                   QStringLiteral("the %1 level").arg(name), &channel->levelPosition))
            return false;
        const QJsonValue gains = object.value(QLatin1String("gains_db"));
        if (!gains.isArray() || gains.toArray().size() != ChannelSettings::BandCount)
            return Fail(QStringLiteral("the %1 channel does not hold 65 gains").arg(name));
        for (int band = 0; band < ChannelSettings::BandCount; ++band) {
            if (!Whole(gains.toArray().at(band),
                       QStringLiteral("gain %1 of the %2 channel").arg(band + 1).arg(name),
                       &channel->gains[band]))
                return false;
        }
        const QJsonValue preamp = object.value(QLatin1String("preamp_db"));
        const double tenths = std::round(preamp.toDouble() * 10);
        if (!preamp.isUndefined()
            && (!preamp.isDouble() || std::abs(preamp.toDouble() * 10 - tenths) > 1e-6 || std::abs(tenths) > 1e6))
            return Fail(QStringLiteral("the %1 preamp is not a number of tenths of a dB").arg(name));
        channel->preampTenths = preamp.isUndefined() ? 0 : int(tenths);
        channel->moved.fill(true);
        const QJsonValue neverMoved = object.value(QLatin1String("never_moved_bands"));
        if (neverMoved.isUndefined())
            return true;
        if (!neverMoved.isArray())
            return Fail(QStringLiteral("the %1 channel's never moved bands are not a list").arg(name));
        for (const QJsonValue &entry : neverMoved.toArray()) {
            int band = 0;
            if (!Whole(entry, QStringLiteral("a never moved band of the %1 channel").arg(name), &band))
                return false;
            if (!EqualizerSettings::IsBand(band - 1))
                return Fail(QStringLiteral("the %1 channel names band %2, not 1 to 65").arg(name).arg(band));
            channel->moved[band - 1] = false;
        }
        return true;
    }

private:
    bool Fail(const QString &text)
    {
        problem = text;
        return false;
    }
};

} // namespace

namespace PresetFile {

const QLatin1String FormatName("Brenvox preset");

QByteArray ToJson(const EqualizerSettings &settings)
{
    QJsonObject root{
        {QStringLiteral("format"), FormatName},
        {QStringLiteral("version"), Version},
        {QStringLiteral("range_db"), settings.range},
        {QStringLiteral("low_cut"), settings.lowCut},
        {QStringLiteral("bandwidth"), settings.bandwidth},
        {QStringLiteral("sync"), settings.sync},
        {QStringLiteral("avoid_clipping"), settings.avoidClipping},
        {QStringLiteral("as_drawn"), settings.asDrawn},
    };
    for (int channel = 0; channel < EqualizerSettings::ChannelCount; ++channel)
        root.insert(QLatin1String(ChannelKeys[channel]), ChannelToJson(settings.channels[channel]));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool FromJson(const QByteArray &json, EqualizerSettings *settings, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        *problem = QStringLiteral("the file is not valid JSON (%1 at character %2)").arg(error.errorString()).arg(error.offset);
        return false;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QLatin1String("format")).toString() != FormatName) {
        *problem = QStringLiteral("the file is not a Brenvox preset");
        return false;
    }
    Reader reader;
    int version = 0;
    if (!reader.Whole(root.value(QLatin1String("version")), QStringLiteral("the version"), &version)) {
        *problem = reader.problem;
        return false;
    }
    if (version > Version || version < 1) {
        *problem = QStringLiteral("the file has version %1; this Brenvox reads version %2").arg(version).arg(Version);
        return false;
    }
    EqualizerSettings read;
    const bool complete = reader.Whole(root.value(QLatin1String("range_db")), QStringLiteral("the range"), &read.range)
        && reader.Switch(root.value(QLatin1String("low_cut")), QStringLiteral("the low cut"), &read.lowCut)
        && reader.Whole(root.value(QLatin1String("bandwidth")), QStringLiteral("the bandwidth"), &read.bandwidth)
        && reader.Switch(root.value(QLatin1String("sync")), QStringLiteral("the sync"), &read.sync)
        && reader.OptionalSwitch(root.value(QLatin1String("avoid_clipping")), QStringLiteral("\"Avoid clipping\""),
                                 &read.avoidClipping)
        && reader.OptionalSwitch(root.value(QLatin1String("as_drawn")), QStringLiteral("\"As drawn\""), &read.asDrawn)
        && reader.Channel(root.value(QLatin1String("left")), QStringLiteral("left"), &read.channels[0])
        && reader.Channel(root.value(QLatin1String("right")), QStringLiteral("right"), &read.channels[1]);
    if (!complete) {
        *problem = reader.problem;
        return false;
    }
    const std::string outOfRange = read.Problem();
    if (!outOfRange.empty()) {
        *problem = QString::fromStdString(outOfRange);
        return false;
    }
    *settings = read;
    return true;
}

bool Save(const QString &path, const EqualizerSettings &settings, QString *message)
{
    QString problem;
    if (!SmallTextFile::Write(path, ToJson(settings), &problem)) {
        *message = QStringLiteral("Cannot save the preset %1: %2.").arg(path, problem);
        return false;
    }
    message->clear();
    return true;
}

bool Read(const QString &path, EqualizerSettings *settings, QString *message)
{
    QString text;
    QString problem;
    if (!SmallTextFile::Read(path, &text, &problem) || !FromJson(text.toUtf8(), settings, &problem)) {
        *message = QStringLiteral("Cannot load the preset %1: %2.").arg(path, problem);
        return false;
    }
    message->clear();
    return true;
}

bool Load(const QString &path, EqualizerModel &model, QString *message)
{
    EqualizerSettings settings;
    if (!Read(path, &settings, message))
        return false;
    model.SetSettings(settings);
    return true;
}

} // namespace PresetFile
