// Command texts: inserting values so that each stays one argument, and
// splitting a text back into the argument vector a tool receives.
#pragma once

#include <QString>
#include <QStringList>

namespace CommandText {

// The value as it is when it holds nothing the splitter treats specially;
// otherwise enclosed in double quotes, with '"' and '\' escaped.
QString QuoteArgument(const QString &value);

// A file as the tools are handed it: its absolute path behind ffmpeg's
// "file:" protocol. A bare name could be read as another protocol
// ("concat:a.wav|b.wav", a folder "http:", "pipe:1") or as an option
// ("-report"). Empty stays empty.
QString ToolFile(const QString &path);
// ToolFile inserted into a command text.
QString QuoteToolFile(const QString &path);
// A tool ("ffmpeg") in the folder the tools are taken from, as a command
// text begins: every command finds its tool here, so that is decided once.
QString QuoteTool(const QString &toolFolder, const char *name);

// Arguments are separated by blanks or tabs outside double quotes; a double
// quote opens or closes a quoted stretch anywhere in an argument and is
// removed; inside a quoted stretch \" and \\ stand for " and \.
QStringList SplitCommandText(const QString &text);

} // namespace CommandText
