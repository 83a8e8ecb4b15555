#pragma once
// Copies of the shop's database: a backup made while the program runs, and putting one back.
// Both go through the engine's online backup, so that rentals still in the write-ahead log are
// copied, and both write under a temporary name that is renamed into place only once the copy
// opens with the password and passes the engine's check.
#include "data/engine/file/DatabaseOpen.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace ShopBackup {
// The file name of a backup made at `when`: "%Y-%m-%d %H %M.bak", e.g. "2005-11-20 14 05.bak".
QString FileName(const QDateTime& when);
// folder/dbBak/FileName(when), with one separator whatever folder ends with.
QString TargetPath(const QString& folder, const QDateTime& when);

// What a copy or a restore is doing. A stage reports (0, 1) when it begins and (1, 1) when it is
// done; the copy reports the pages written so far out of the file's pages after each step.
enum class Stage { CheckingBackup, Copying, CheckingCopy };
// Called on the thread that runs the copy.
using Progress = std::function<void(Stage stage, int done, int total)>;

// Pages the copy writes in one step; between steps it reports its progress.
constexpr int kPagesPerStep = 1000;

// Copies the database `source` names into target, keyed with the same password. On failure
// target is left as it was, no temporary file remains, and *error says why (in English).
// First removes what earlier backups into target's folder left behind when they were killed:
// temporary files of this program's naming that no running backup holds. Takes seconds on a
// large shop; it may run on any thread.
bool Copy(const ConnectionSettings& source, const QString& target, QString* error,
          const Progress& progress = {});

enum class Depth {
    Quick, // the pages and the structure of every table and index (PRAGMA quick_check)
    Full,  // also every index against its table (PRAGMA integrity_check): seconds more
};
// True when the file opens with the password, holds the shop's tables and passes the check.
// It is opened and closed by the engine.
bool Check(const ConnectionSettings& file, QString* error, Depth depth = Depth::Full);

enum class RestoreResult { Restored, BadBackup, InUse, Failed };
// Puts a checked copy of the backup in place of the shop file (keyed with `password`), with no
// write-ahead log of the old file left beside it. Refuses while any program has the shop open.
// The backup gets the full check once; its copy, a page image of it, the quick one.
RestoreResult Restore(const QString& backup, const QString& shop, const QByteArray& password, QString* error,
                      const Progress& progress = {});
} // namespace ShopBackup
