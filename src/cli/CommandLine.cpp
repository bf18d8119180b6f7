#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

CommandLineRequest ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Brenvox: a stereo graphic equalizer with 65 bands per channel."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("An audio or video file to open, as Open does."),
                                 QStringLiteral("[FILE]"));

    CommandLineRequest request;
    if (!parser.parse(arguments)) {
        request.action = CommandLineRequest::Action::Error;
        request.text = parser.errorText() + QLatin1Char('\n');
        return request;
    }
    if (parser.isSet(help)) {
        request.action = CommandLineRequest::Action::Help;
        // Read before any application object exists, Qt cannot name the
        // program itself.
        request.text = parser.helpText().replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                                                 QStringLiteral("Usage: brenvox"));
    } else if (parser.isSet(version)) {
        request.action = CommandLineRequest::Action::Version;
        request.text = QStringLiteral("brenvox %1\n").arg(QStringLiteral(BRENVOX_VERSION));
    }
    request.files = parser.positionalArguments();
    return request;
}
