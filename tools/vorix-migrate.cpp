// vorix-migrate: moves a shop onto a PostgreSQL server, and back.
//   vorix-migrate FILE --server CONNECTION
//       copies the shop file FILE into the empty database named by a libpq connection string
//       ("host=… port=… dbname=… user=… password=…"), in one transaction, and checks the count
//       of every table; the file itself is left as it is
//   vorix-migrate --back FILE --server CONNECTION
//       copies the server's shop into a new keyed shop file FILE (refused when FILE exists), from
//       one snapshot of the server, and checks the count of every table
#include "data/shop/ServerDatabase.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool back = args.removeAll(QStringLiteral("--back")) > 0;
    const int server = args.indexOf(QStringLiteral("--server"));
    if (args.size() != 3 || server < 0 || server == 2) {
        std::fprintf(stderr, "usage: vorix-migrate FILE --server CONNECTION\n"
                             "       vorix-migrate --back FILE --server CONNECTION\n");
        return 2;
    }
    const QString connection = args.at(server + 1);
    args.remove(server, 2);
    ServerDatabase::Counts counts;
    QString error;
    const bool moved = back ? ServerDatabase::CopyToFile(connection, args.first(), &counts, &error)
                            : ServerDatabase::CopyFromFile(args.first(), connection, &counts, &error);
    if (!moved) {
        std::fprintf(stderr, "vorix-migrate: %s\n", qPrintable(error));
        return 1;
    }
    for (const auto& [table, rows] : counts)
        std::printf("%-10s %lld rows\n", qPrintable(table), static_cast<long long>(rows));
    std::printf(back ? "copied the server's shop into %s\n" : "moved %s onto the server\n",
                qPrintable(args.first()));
    return 0;
}
