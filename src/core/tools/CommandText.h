// A tool's command as a program and the arguments it receives, and the text
// that shows it.
#pragma once

#include <QString>
#include <QStringList>

struct ToolCommand
{
    QString program;
    QStringList arguments;

    // For a person and a log: the program and each argument as
    // CommandText::QuoteArgument writes it, separated by blanks.
    QString Text() const;
};

namespace CommandText {

// The value as it is when it holds no blank, tab, '"' or '\'; otherwise
// enclosed in double quotes, with '"' and '\' escaped.
QString QuoteArgument(const QString &value);

// A file as the tools are handed it: its absolute path behind ffmpeg's
// "file:" protocol. A bare name could be read as another protocol
// ("concat:a.wav|b.wav", a folder "http:", "pipe:1") or as an option
// ("-report"). Empty stays empty.
QString ToolFile(const QString &path);
// A tool ("ffmpeg") in the folder the tools are taken from: every command
// finds its tool here, so that is decided once.
QString Tool(const QString &toolFolder, const char *name);

} // namespace CommandText
