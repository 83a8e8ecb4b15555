#include "app/StartArguments.h"

#include <QCommandLineParser>

CommandLine::Verdict StartArguments::Read(const QStringList& arguments, StartArguments* read, bool quiet) {
    const CommandLine::Program program{QStringLiteral("vorix"),
                                       QStringLiteral("vorix [--shop DIR] [--server CONNECTION]"), 0, 0};
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The counter program of a shop that lends films."));
    const QCommandLineOption shop(QStringLiteral("shop"),
                                  QStringLiteral("Use the shop in DIR (made when missing) and remember it."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral("Work on the shop in the PostgreSQL database CONNECTION names (libpq's connection "
                       "text) from now on; an empty CONNECTION brings the shop back to its file."),
        QStringLiteral("CONNECTION"));
    parser.addOption(shop);
    parser.addOption(server);
    const CommandLine::Verdict verdict = CommandLine::Read(parser, arguments, program, quiet);
    if (verdict != CommandLine::Verdict::Run)
        return verdict;
    if (parser.isSet(shop) && parser.value(shop).trimmed().isEmpty())
        return CommandLine::Refuse(parser, program, QStringLiteral("--shop needs a folder."));
    *read = {};
    read->shop = parser.value(shop);
    read->serverGiven = parser.isSet(server);
    read->server = parser.value(server).trimmed();
    return verdict;
}
