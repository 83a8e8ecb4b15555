// vorix-restore: puts a backup of the shop's database back in place of cddata.mdb.
//   vorix-restore BACKUP          restore into cddata.mdb beside this program
//   vorix-restore BACKUP SHOP     restore into the file SHOP
// The backup must open with the shop's password and pass the integrity check; nothing is changed
// while a program has the shop file open. The old file's write-ahead log is removed with it.
#include "base/ProgramFolder.h"
#include "data/CAdoDb.h"
#include "data/ShopBackup.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 1 && args.size() != 2) {
        std::fprintf(stderr, "usage: vorix-restore BACKUP [SHOP]\n");
        return 2;
    }
    const ConnectionSettings shop = ParseConnectionString(QString::fromUtf8(kConnectionString));
    const QString target =
        args.size() == 2 ? args.at(1) : QDir(Base::ProgramFolder()).filePath(shop.dataSource);
    QString error;
    switch (ShopBackup::Restore(args.at(0), target, shop.password, &error)) {
    case ShopBackup::RestoreResult::Restored:
        std::printf("restored %s from %s\n", qPrintable(target), qPrintable(args.at(0)));
        return 0;
    case ShopBackup::RestoreResult::BadBackup:
        std::fprintf(stderr, "vorix-restore: not a sound backup, nothing changed: %s\n", qPrintable(error));
        return 1;
    case ShopBackup::RestoreResult::InUse:
        std::fprintf(stderr, "vorix-restore: nothing changed: %s\n", qPrintable(error));
        return 3;
    case ShopBackup::RestoreResult::Failed:
        break;
    }
    std::fprintf(stderr, "vorix-restore: nothing changed: %s\n", qPrintable(error));
    return 1;
}
