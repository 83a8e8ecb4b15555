// vorix-migrate: moves a shop onto a PostgreSQL server, and back.
//   vorix-migrate FILE --server CONNECTION
//       copies the shop file FILE into the empty database named by a libpq connection string
//       ("host=… port=… dbname=… user=… password=…"), in one transaction, and checks the count
//       of every table; the file is only read, never written (an earlier version is read as it
//       is), and a password stored as typed goes over hashed
//   vorix-migrate --back FILE --server CONNECTION
//       copies the server's shop into a new keyed shop file FILE (refused when FILE exists), from
//       one snapshot of the server, and checks the count of every table
// A database that holds any table is not moved into. --help and --version answer; a misread
// argument is refused with exit code 2.
#include "base/CommandLine.h"
#include "data/shop/ServerDatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const CommandLine::Program program{
        QStringLiteral("vorix-migrate"),
        QStringLiteral(
            "vorix-migrate FILE --server CONNECTION\nvorix-migrate --back FILE --server CONNECTION"),
        1, 1};
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Moves a shop onto a PostgreSQL server, and back."));
    const QCommandLineOption backOption(
        QStringLiteral("back"), QStringLiteral("Copy the server's shop into the new shop file FILE."));
    const QCommandLineOption serverOption(
        QStringLiteral("server"), QStringLiteral("The PostgreSQL database, as libpq's connection text."),
        QStringLiteral("CONNECTION"));
    parser.addOption(backOption);
    parser.addOption(serverOption);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The shop file."));
    const CommandLine::Verdict verdict = CommandLine::Read(parser, app.arguments(), program);
    if (verdict != CommandLine::Verdict::Run)
        return CommandLine::ExitCode(verdict);
    const QString connection = parser.value(serverOption);
    const QString file = parser.positionalArguments().first();
    if (connection.trimmed().isEmpty())
        return CommandLine::ExitCode(
            CommandLine::Refuse(parser, program, QStringLiteral("--server CONNECTION is missing.")));
    if (file.isEmpty())
        return CommandLine::ExitCode(
            CommandLine::Refuse(parser, program, QStringLiteral("FILE is missing.")));
    const bool back = parser.isSet(backOption);
    ServerDatabase::Counts counts;
    QString error;
    const bool moved = back ? ServerDatabase::CopyToFile(connection, file, &counts, &error)
                            : ServerDatabase::CopyFromFile(file, connection, &counts, &error);
    if (!moved) {
        std::fprintf(stderr, "vorix-migrate: %s\n", qPrintable(error));
        return 1;
    }
    for (const auto& [table, rows] : counts)
        std::printf("%-10s %lld rows\n", qPrintable(table), static_cast<long long>(rows));
    std::printf(back ? "copied the server's shop into %s\n" : "moved %s onto the server\n", qPrintable(file));
    return 0;
}
