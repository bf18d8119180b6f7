// Reads audiograms, refusing levels and frequencies no audiogram holds.
#include "core/presets/Audiogram.h"

#include "core/presets/Csv.h"
#include "core/presets/ProfileFormats.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <utility>

using Audiogram::Levels;

namespace {

bool Number(const QString &text, double *value)
{
    return Csv::Number(text, value) && std::isfinite(*value);
}

// A measured level into the ear's points; *problem says what is wrong with it.
bool AddLevel(Levels *levels, int ear, double frequency, double level, QString *problem)
{
    if (frequency < 20 || frequency > 20000)
        *problem = QStringLiteral("has a frequency outside 20 to 20000 Hz");
    else if (level < -20 || level > 120)
        *problem = QStringLiteral("has a level outside -20 to 120 dB HL");
    else
        levels->ears[ear].push_back({frequency, level});
    return problem->isEmpty();
}

bool Finish(Levels *levels, QString *problem)
{
    for (int ear = 0; ear < 2; ++ear) {
        if (levels->ears[ear].empty()) {
            *problem = ear == 0 && levels->ears[1].empty() ? QStringLiteral("it holds no audiogram rows")
                                                           : QStringLiteral("it holds no levels for the %1 ear")
                                                                 .arg(QLatin1String(ear == 0 ? "left" : "right"));
            return false;
        }
        auto &points = levels->ears[ear];
        std::sort(points.begin(), points.end(),
            [](const TargetCurve::Point &a, const TargetCurve::Point &b) { return a.frequency < b.frequency; });
        // Sorted first, so that a file of any length is checked in one pass.
        const auto repeated = std::adjacent_find(points.begin(), points.end(),
            [](const TargetCurve::Point &a, const TargetCurve::Point &b) { return a.frequency == b.frequency; });
        if (repeated != points.end()) {
            *problem = QStringLiteral("it holds two levels at %1 Hz for the %2 ear")
                           .arg(repeated->frequency).arg(QLatin1String(ear == 0 ? "left" : "right"));
            return false;
        }
    }
    return true;
}

int EarOf(const QString &text)
{
    const QString ear = text.trimmed().toUpper();
    return ear == QLatin1String("L") || ear == QLatin1String("LEFT") ? 0
        : ear == QLatin1String("R") || ear == QLatin1String("RIGHT") ? 1
                                                                     : -1;
}

// "Subject, Ear, 500, 1000, ...": the title row, then a row per ear.
bool FromEarRows(const QStringList &lines, int titleIndex, QChar separator, Levels *levels, QString *problem)
{
    const QStringList titles = Csv::Fields(lines[titleIndex], separator);
    int earColumn = -1, subjectColumn = -1;
    std::vector<std::pair<int, double>> frequencies; // column, Hz
    for (int column = 0; column < titles.size(); ++column) {
        const QString title = titles[column].trimmed().toLower();
        double frequency = 0;
        if (title == QLatin1String("ear"))
            earColumn = column;
        else if (title == QLatin1String("subject"))
            subjectColumn = column;
        else if (Number(title, &frequency))
            frequencies.emplace_back(column, frequency);
    }
    QString subject;
    bool earsSeen[2] = {false, false};
    for (int index = titleIndex + 1; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("line %1 (\"%2\")").arg(index + 1).arg(line.left(80));
        const QStringList fields = Csv::Fields(line, separator);
        const QString rowSubject = fields.value(subjectColumn).trimmed();
        if (subject.isNull())
            subject = rowSubject;
        if (rowSubject != subject) {
            levels->notUsed << ProfileFormats::LineNotUsed(index, line, QStringLiteral("another subject"));
            continue;
        }
        const int ear = EarOf(fields.value(earColumn));
        if (ear < 0 || earsSeen[ear]) {
            *problem = where + (ear < 0 ? QStringLiteral(" names no ear L or R") : QStringLiteral(" repeats an ear"));
            return false;
        }
        earsSeen[ear] = true;
        for (const auto &[column, frequency] : frequencies) {
            const QString cell = fields.value(column).trimmed();
            double level = 0;
            if (cell.isEmpty())
                continue;
            if (!Number(cell, &level)) {
                *problem = where + QStringLiteral(" has \"%1\" where a level belongs").arg(cell);
                return false;
            }
            if (!AddLevel(levels, ear, frequency, level, problem)) {
                *problem = where + QLatin1Char(' ') + *problem;
                return false;
            }
        }
    }
    return Finish(levels, problem);
}

} // namespace

namespace Audiogram {

bool FromCsv(const QString &text, Levels *levels, QString *problem)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QChar separator = Csv::Separator(lines);
    bool titlesAllowed = true;
    for (int index = 0; index < lines.size(); ++index) {
        const QString line = lines[index].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const bool first = std::exchange(titlesAllowed, false);
        const QStringList fields = Csv::Fields(line, separator);
        if (first && fields.contains(QLatin1String("ear"), Qt::CaseInsensitive))
            return FromEarRows(lines, index, separator, levels, problem);
        const QString where = QStringLiteral("line %1 (\"%2\")").arg(index + 1).arg(line.left(80));
        double values[3] = {0, 0, 0};
        bool numbers = fields.size() == 3;
        for (int field = 0; numbers && field < 3; ++field)
            numbers = Number(fields[field], &values[field]);
        if (!numbers && first)
            continue;
        if (!numbers) {
            *problem = where + QLatin1String(" is not a frequency, a left and a right level");
            return false;
        }
        for (int ear = 0; ear < 2; ++ear) {
            if (!AddLevel(levels, ear, values[0], values[ear + 1], problem)) {
                *problem = where + QLatin1Char(' ') + *problem;
                return false;
            }
        }
    }
    return Finish(levels, problem);
}

bool IsAudiogramJson(const QJsonObject &root)
{
    return root.contains(QLatin1String("audiogram_cfs"));
}

bool FromJson(const QJsonObject &root, Levels *levels, QString *problem)
{
    const QJsonArray frequencies = root.value(QLatin1String("audiogram_cfs")).toArray();
    const QJsonArray ears[2] = {root.value(QLatin1String("audiogram_levels_l")).toArray(),
                                root.value(QLatin1String("audiogram_levels_r")).toArray()};
    if (ears[0].size() != frequencies.size() || ears[1].size() != frequencies.size()) {
        *problem = QStringLiteral("its audiogram_levels_l and audiogram_levels_r do not hold a level for each of "
                                  "its audiogram_cfs");
        return false;
    }
    for (int index = 0; index < frequencies.size(); ++index) {
        for (int ear = 0; ear < 2; ++ear) {
            const QJsonValue level = ears[ear].at(index);
            if (level.isNull())
                continue;
            const QString where = QStringLiteral("entry %1").arg(index + 1);
            if (!frequencies.at(index).isDouble() || !level.isDouble()) {
                *problem = where + QStringLiteral(" is not a frequency and a level");
                return false;
            }
            if (!AddLevel(levels, ear, frequencies.at(index).toDouble(), level.toDouble(), problem)) {
                *problem = where + QLatin1Char(' ') + *problem;
                return false;
            }
        }
    }
    return Finish(levels, problem);
}

QStringList Listeners(const QJsonDocument &document)
{
    QStringList names;
    if (document.isObject() && !IsAudiogramJson(document.object())) {
        const QJsonObject root = document.object();
        for (auto it = root.begin(); it != root.end(); ++it)
            if (IsAudiogramJson(it.value().toObject()))
                names << it.key();
    }
    const QJsonArray list = document.array();
    for (qsizetype index = 0; index < list.size(); ++index) {
        const QJsonObject listener = list.at(index).toObject();
        const QString name = listener.value(QLatin1String("name")).toString();
        if (IsAudiogramJson(listener))
            names << (name.isEmpty() || names.contains(name) ? QString::number(index + 1) : name);
    }
    return names;
}

QJsonObject Listener(const QJsonDocument &document, const QString &name)
{
    if (document.isObject()) {
        const QJsonObject listener = document.object().value(name).toObject();
        return IsAudiogramJson(listener) ? listener : QJsonObject();
    }
    const qsizetype at = Listeners(document).indexOf(name);
    if (at < 0)
        return QJsonObject();
    // The names stand for the listeners with an audiogram, in list order.
    qsizetype seen = -1;
    for (const QJsonValue &value : document.array())
        if (IsAudiogramJson(value.toObject()) && ++seen == at)
            return value.toObject();
    return QJsonObject();
}

} // namespace Audiogram
