// vorix-initdb: prepares a new, encrypted shop database from the shop's schema.
//   vorix-initdb PATH          write PATH; fails when it exists
//   vorix-initdb --keep PATH   write PATH unless it exists (a shop's data is never overwritten)
//   vorix-initdb --server CONNECTION
//                              prepare the shop in an empty PostgreSQL database, named by a libpq
//                              connection string ("host=… port=… dbname=… user=… password=…");
//                              fails when it holds any table
// --help and --version answer; a misread argument is refused with exit code 2, writing nothing.
#include "base/CommandLine.h"
#include "data/shop/ServerDatabase.h"
#include "data/shop/ShopDatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const CommandLine::Program program{
        QStringLiteral("vorix-initdb"),
        QStringLiteral("vorix-initdb [--keep] PATH\nvorix-initdb --server CONNECTION"), 0, 1};
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prepares a new, empty shop database."));
    const QCommandLineOption keepOption(QStringLiteral("keep"),
                                        QStringLiteral("Succeed, leaving PATH as it is, when it exists."));
    const QCommandLineOption serverOption(
        QStringLiteral("server"),
        QStringLiteral("Prepare the shop in the empty PostgreSQL database CONNECTION names."),
        QStringLiteral("CONNECTION"));
    parser.addOption(keepOption);
    parser.addOption(serverOption);
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("The shop file to write."));
    const CommandLine::Verdict verdict = CommandLine::Read(parser, app.arguments(), program);
    if (verdict != CommandLine::Verdict::Run)
        return CommandLine::ExitCode(verdict);
    const bool keep = parser.isSet(keepOption);
    const bool server = parser.isSet(serverOption);
    const QStringList paths = parser.positionalArguments();
    if (server && (keep || !paths.isEmpty()))
        return CommandLine::ExitCode(
            CommandLine::Refuse(parser, program, QStringLiteral("--server takes no PATH and no --keep.")));
    if (server && parser.value(serverOption).trimmed().isEmpty())
        return CommandLine::ExitCode(
            CommandLine::Refuse(parser, program, QStringLiteral("--server needs a connection.")));
    if (!server && (paths.isEmpty() || paths.first().isEmpty()))
        return CommandLine::ExitCode(
            CommandLine::Refuse(parser, program, QStringLiteral("PATH is missing.")));
    QString error;
    if (server) {
        if (!ServerDatabase::Prepare(parser.value(serverOption), &error)) {
            std::fprintf(stderr, "vorix-initdb: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("prepared the shop on the server\n");
        return 0;
    }
    const QString path = paths.first();
    if (keep && QFile::exists(path)) {
        std::printf("%s exists; kept as it is\n", qPrintable(path));
        return 0;
    }
    if (!ShopDatabase::Prepare(path, &error)) {
        std::fprintf(stderr, "vorix-initdb: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("prepared %s\n", qPrintable(path));
    return 0;
}
