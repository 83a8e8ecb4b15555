// vorix-initdb: prepares a new, encrypted shop database from the shop's schema.
//   vorix-initdb PATH          write PATH; fails when it exists
//   vorix-initdb --keep PATH   write PATH unless it exists (a shop's data is never overwritten)
//   vorix-initdb --server CONNECTION
//                              prepare the shop in an empty PostgreSQL database, named by a libpq
//                              connection string ("host=… port=… dbname=… user=… password=…");
//                              fails when it holds a shop's tables
#include "data/shop/ServerDatabase.h"
#include "data/shop/ShopDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool keep = args.removeAll(QStringLiteral("--keep")) > 0;
    const bool server = args.removeAll(QStringLiteral("--server")) > 0;
    if (args.size() != 1 || (keep && server)) {
        std::fprintf(stderr, "usage: vorix-initdb [--keep] PATH\n       vorix-initdb --server CONNECTION\n");
        return 2;
    }
    QString error;
    if (server) {
        if (!ServerDatabase::Prepare(args.first(), &error)) {
            std::fprintf(stderr, "vorix-initdb: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("prepared the shop on the server\n");
        return 0;
    }
    const QString path = args.first();
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
