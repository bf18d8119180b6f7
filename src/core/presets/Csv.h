// Rows of the comma-separated files profiles and audiograms come in, in the
// dialects spreadsheets write: "," or, where the decimal mark is a comma,
// ";"; tabs; blanks after the separators; fields in double quotes.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace Csv {

// The separator of the first line that is neither blank nor a "#" comment:
// ";" or a tab when it holds one and no comma outside quotes, else ",".
QChar Separator(const QStringList &lines);

// One line's fields, each trimmed and unquoted ("a ""b""" reads a "b").
QStringList Fields(const QString &line, QChar separator);

// A number with a point or a decimal comma ("10,5"), finite or not: the
// caller judges its bounds.
bool Number(const QString &field, double *value);

} // namespace Csv
