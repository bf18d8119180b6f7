// Command texts: inserting values so that each stays one argument, and
// splitting a text back into the argument vector a tool receives.
#pragma once

#include <QString>
#include <QStringList>

namespace CommandText {

// The value as it is when it holds nothing the splitter treats specially;
// otherwise enclosed in double quotes, with '"' and '\' escaped.
QString QuoteArgument(const QString &value);

// Arguments are separated by blanks or tabs outside double quotes; a double
// quote opens or closes a quoted stretch anywhere in an argument and is
// removed; inside a quoted stretch \" and \\ stand for " and \.
QStringList SplitCommandText(const QString &text);

} // namespace CommandText
