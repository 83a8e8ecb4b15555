#include "data/shop/ShopBackup.h"

#include "data/engine/file/FileError.h"

#include "data/engine/EngineError.h"
#include "data/engine/file/ExclusiveLock.h"
#include "data/shop/ShopCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {
using ShopBackup::Progress;
using ShopBackup::Stage;

void Report(const Progress& progress, Stage stage, int done, int total = 1) {
    if (progress)
        progress(stage, done, total);
}

// A file and whatever the engine may have left beside it.
void RemoveWithLog(const QString& path) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

// A log left beside a file that is replaced would be replayed onto its successor.
bool RemoveLog(const QString& path, QString* error) {
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const QString side = path + QLatin1String(suffix);
        if (QFileInfo::exists(side) && !QFile::remove(side)) {
            *error = QStringLiteral("cannot remove %1").arg(side);
            return false;
        }
    }
    return true;
}

// The engine's online backup of source into the empty file copy names, keyed with source's
// password before the first page is written: an unkeyed target would receive a plain copy.
// The copy goes in steps, so that its progress can be shown. A read transaction on source is held
// across them: every step reads the same moment, including what is committed in the log, and a
// rental written at a desk meanwhile neither waits for the copy nor makes the engine begin it
// again. *into is left open on the finished copy.
bool WriteCopy(const ConnectionSettings& source, const ConnectionSettings& copy, DatabaseHandle* into,
               const Progress& progress, QString* error) {
    DatabaseHandle from = DatabaseOpen::OpenDatabase(source, error);
    if (!from || !FileError::Run(from.get(), "BEGIN", error) ||
        ShopCheck::FirstValue(from.get(), "SELECT count(*) FROM sqlite_master", error).isNull())
        return false;
    *into = DatabaseOpen::CreateDatabase(copy, error);
    if (!*into)
        return false;
    sqlite3_backup* backup = sqlite3_backup_init(into->get(), "main", from.get(), "main");
    if (!backup) {
        *error = FileError::Last(into->get(), SQLITE_ERROR).text;
        return false;
    }
    int stepped = SQLITE_OK;
    while (stepped == SQLITE_OK) {
        stepped = sqlite3_backup_step(backup, ShopBackup::kPagesPerStep);
        if (stepped == SQLITE_OK || stepped == SQLITE_DONE) {
            const int pages = sqlite3_backup_pagecount(backup);
            Report(progress, Stage::Copying, pages - sqlite3_backup_remaining(backup), pages);
        }
    }
    const int finished = sqlite3_backup_finish(backup); // also sets the target's error
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
        *error = FileError::Last(into->get(), stepped != SQLITE_DONE ? stepped : finished).text;
        return false;
    }
    return FileError::Run(from.get(), "COMMIT", error);
}

// Puts temporary in place of target in one step; the file of that name before stays until then.
// The copy is readable by whom `like` is, if given; else by its owner alone, as the temporary.
bool RenameOver(const QString& temporary, const QString& target, const QString& like, QString* error) {
    if (!RemoveLog(target, error))
        return false;
    if (QFileInfo::exists(like))
        QFile::setPermissions(temporary, QFileInfo(like).permissions());
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QStringLiteral("cannot rename %1 to %2: %3")
                     .arg(temporary, target, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

// Writes a checked copy of source under a temporary name beside target; empty on failure.
QString CheckedCopyBeside(const ConnectionSettings& source, const QString& target, const Progress& progress,
                          QString* error) {
    const QString temporary = ShopBackup::MakeTemporary(target, error);
    if (temporary.isEmpty())
        return {};
    ConnectionSettings copy = source;
    copy.dataSource = temporary;
    bool ok = false;
    {
        // Open and reading from the first step to the end of the check: the lock it holds meanwhile
        // tells another backup's clean-up that the temporary is in use. Its close, the last, folds
        // the copy's own log into it.
        DatabaseHandle into;
        ok = WriteCopy(source, copy, &into, progress, error) &&
             !ShopCheck::FirstValue(into.get(), "SELECT count(*) FROM sqlite_master", error).isNull();
        if (ok) {
            // The copy is a page image of one moment of source: an index can disagree with its
            // table only where source's does, so the quick check suffices.
            Report(progress, Stage::CheckingCopy, 0);
            ok = ShopBackup::Check(copy, error, ShopBackup::Depth::Quick);
        }
    }
    if (ok && QFileInfo::exists(temporary + QStringLiteral("-wal"))) {
        *error = QStringLiteral("the copy's log was not folded into it");
        ok = false;
    }
    if (!ok) {
        RemoveWithLog(temporary);
        return {};
    }
    Report(progress, Stage::CheckingCopy, 1);
    return temporary;
}

// A backup's temporary file as MakeTemporary names it beside "<minute>.bak" (or as an earlier
// Vorix named the copy of a server's shop while it was written, "<minute>.bak.moving"), or a file
// the engine keeps beside one; the first group is the temporary's own name.
const QRegularExpression& TemporaryOfABackup() {
    static const QRegularExpression name(
        QStringLiteral("^([0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2} "
                       "[0-9]{2}\\.bak(?:\\.[A-Za-z0-9]{6}\\.part|\\.moving))(-wal|-shm|-journal)?$"));
    return name;
}

} // namespace

QString ShopBackup::MakeTemporary(const QString& target, QString* error) {
    QTemporaryFile file(target + QStringLiteral(".XXXXXX.part"));
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = QStringLiteral("cannot write in %1: %2")
                     .arg(QFileInfo(target).absolutePath(), file.errorString());
        return {};
    }
    return file.fileName();
}

void ShopBackup::RemoveStaleTemporaries(const QString& folder) {
    const QDir dir(folder);
    QSet<QString> temporaries;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = TemporaryOfABackup().match(name);
        if (match.hasMatch())
            temporaries.insert(match.captured(1));
    }
    for (const QString& name : temporaries) {
        const QString path = dir.filePath(name);
        // Removed while the lock is held, so that no program can begin to use it meanwhile.
        ExclusiveLock lock;
        QString ignored;
        // A log whose temporary is gone belongs to no running backup.
        if (QFileInfo::exists(path) && lock.Take(path, &ignored) != ExclusiveLock::Outcome::Taken)
            continue;
        RemoveWithLog(path);
    }
}

QString ShopBackup::FileName(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH mm")) + QStringLiteral(".bak");
}

QString ShopBackup::TargetPath(const QString& folder, const QDateTime& when) {
    return QDir(QDir(folder).filePath(QStringLiteral("dbBak"))).filePath(FileName(when));
}

bool ShopBackup::Check(const ConnectionSettings& file, QString* error, Depth depth) {
    // The passphrase itself, as the sqlcipher shell is given it, not a key derived before.
    DatabaseHandle db = DatabaseOpen::OpenDatabaseWithPassphrase(file, error);
    if (!db || !ShopCheck::HoldsACompleteShop(db.get(), file.dataSource, error))
        return false;
    const bool full = depth == Depth::Full;
    const QString verdict =
        ShopCheck::FirstValue(db.get(), full ? "PRAGMA integrity_check" : "PRAGMA quick_check", error);
    if (verdict.isNull())
        return false;
    if (verdict != QLatin1String("ok")) {
        *error =
            QStringLiteral("%1 fails the %2 check: %3")
                .arg(file.dataSource, full ? QStringLiteral("integrity") : QStringLiteral("quick"), verdict);
        return false;
    }
    return true;
}

bool ShopBackup::Copy(const ConnectionSettings& source, const QString& target, QString* error,
                      const Progress& progress) {
    RemoveStaleTemporaries(QFileInfo(target).absolutePath());
    const QString temporary = CheckedCopyBeside(source, target, progress, error);
    if (temporary.isEmpty())
        return false;
    if (!RenameOver(temporary, target, QString(), error)) { // the owner's alone, as its temporary
        RemoveWithLog(temporary);
        return false;
    }
    return true;
}

ShopBackup::RestoreResult ShopBackup::Restore(const QString& backup, const QString& shop,
                                              const QByteArray& password, QString* error,
                                              const Progress& progress) {
    const QFileInfo backupFile(backup);
    if (!backupFile.isFile()) {
        *error = QStringLiteral("%1 is not a file").arg(backup);
        return RestoreResult::BadBackup;
    }
    if (backupFile.canonicalFilePath() == QFileInfo(shop).canonicalFilePath()) {
        *error = QStringLiteral("%1 is the shop file itself").arg(backup);
        return RestoreResult::BadBackup;
    }
    if (ShopCheck::LogBeside(backup)) {
        *error = QStringLiteral("%1 has a log beside it: it was not finished, or a program has it open")
                     .arg(backup);
        return RestoreResult::BadBackup;
    }
    // Held until the copy is in place, so that no program opens the old file meanwhile.
    ExclusiveLock lock;
    switch (QFileInfo::exists(shop) ? lock.Take(shop, error) : ExclusiveLock::Outcome::Taken) {
    case ExclusiveLock::Outcome::Taken:
        break;
    case ExclusiveLock::Outcome::Busy:
        *error = QStringLiteral("%1 is in use by a program; close Vorix and try again").arg(shop);
        return RestoreResult::InUse;
    case ExclusiveLock::Outcome::Failed:
        return RestoreResult::Failed;
    }
    ConnectionSettings source;
    source.dataSource = backup;
    source.password = password;
    Report(progress, Stage::CheckingBackup, 0);
    if (!Check(source, error))
        return RestoreResult::BadBackup;
    Report(progress, Stage::CheckingBackup, 1);
    const QString temporary = CheckedCopyBeside(source, shop, progress, error);
    if (temporary.isEmpty())
        return RestoreResult::Failed;
    if (!RenameOver(temporary, shop, QFileInfo::exists(shop) ? shop : backup, error)) {
        RemoveWithLog(temporary);
        return RestoreResult::Failed;
    }
    return RestoreResult::Restored;
}
