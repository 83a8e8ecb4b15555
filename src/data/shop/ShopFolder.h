#pragma once
// Where the shop's data lives. The program folder when it holds cddata.mdb (a portable copy: it
// stays as it always was), else the folder named with --shop DIR, else the one remembered from an
// earlier --shop, else the user's data folder (~/.local/share/vorix).
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace ShopFolder {
inline constexpr char kDataFile[] = "cddata.mdb";
inline constexpr char kBackupFolder[] = "dbBak";

struct Choice {
    QString folder;        // absolute
    bool portable = false; // the program folder, which already holds the shop
    bool given = false;    // named with --shop on this start
};

// The shop folder for `given`, the folder of --shop (relative to the current directory; empty when
// none was given).
Choice Choose(const QString& given, const QString& programFolder, const QSettings& settings);
// Where the folder is remembered: ~/.config/vorix/vorix.conf.
std::unique_ptr<QSettings> UserSettings();
void Remember(QSettings& settings, const QString& folder);

// Makes a folder ready for the shop: creates it, checks that it is on a local disk and can be
// written, and prepares cddata.mdb and dbBak/ where they are missing (an existing file is never
// touched). A folder whose settings name a database server holds only them and the backups: it
// may lie on a network share, and no cddata.mdb is made. *prepared tells whether a new shop was made; *error
// says in Chinese what failed.
bool Ready(const QString& folder, bool* prepared, QString* error);
// Makes the shop in folder its owner's alone (ShopPermissions.h): cddata.mdb and the engine's files
// beside it, vorix-server.conf, dbBak/ and what lies in it. The names (relative to the folder) of
// what others could use before; empty when all was its owner's already. Called before the program
// opens the shop.
QStringList TightenPermissions(const QString& folder);
} // namespace ShopFolder
