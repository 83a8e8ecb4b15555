#pragma once
// Copies of the shop's database: a backup made while the program runs, and putting one back.
// Both go through the engine's online backup, so that rentals still in the write-ahead log are
// copied, and both write under a temporary name that is renamed into place only once the copy
// opens with the password and passes the engine's integrity check.
#include "data/CAdoDb.h"

#include <QDateTime>
#include <QString>

namespace ShopBackup {
// The file name of a backup made at `when`: "%Y-%m-%d %H %M.bak", e.g. "2005-11-20 14 05.bak".
QString FileName(const QDateTime& when);
// folder/dbBak/FileName(when), with one separator whatever folder ends with.
QString TargetPath(const QString& folder, const QDateTime& when);

// Copies the database `source` names into target, keyed with the same password. On failure
// target is left as it was, no temporary file remains, and *error says why (in English).
bool Copy(const ConnectionSettings& source, const QString& target, QString* error);

// True when the file opens with the password, holds the shop's tables and passes the integrity
// check. The file must not be in use: it is opened and closed by the engine.
bool Check(const ConnectionSettings& file, QString* error);

enum class RestoreResult { Restored, BadBackup, InUse, Failed };
// Puts a checked copy of the backup in place of the shop file (keyed with `password`), with no
// write-ahead log of the old file left beside it. Refuses while any program has the shop open.
RestoreResult Restore(const QString& backup, const QString& shop, const QByteArray& password, QString* error);
} // namespace ShopBackup
