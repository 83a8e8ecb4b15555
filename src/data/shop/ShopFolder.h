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

// The folder of --shop DIR or --shop=DIR, absolute against the current directory; empty when none
// was given. *missing is set when --shop came without a folder.
QString Argument(const QStringList& arguments, bool* missing = nullptr);
// The text after `name` (--server TEXT or --server=TEXT); *present tells whether it was given at
// all, an empty text included.
QString Option(const QStringList& arguments, const QString& name, bool* present);
Choice Choose(const QStringList& arguments, const QString& programFolder, const QSettings& settings);
// Remembers folder in the user's settings (base/UserSettings.h).
void Remember(QSettings& settings, const QString& folder);

// Makes a folder ready for the shop: creates it, checks that it is on a local disk and can be
// written, and prepares cddata.mdb and dbBak/ where they are missing (an existing file is never
// touched). A folder whose settings name a database server holds only them and the backups: it
// may lie on a network share, and no cddata.mdb is made. *prepared tells whether a new shop was made; *error
// says in Chinese what failed.
bool Ready(const QString& folder, bool* prepared, QString* error);
} // namespace ShopFolder
