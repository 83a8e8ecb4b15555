#include "data/ShopBackup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

namespace {
const char* const kShopTables = "SELECT count(*) FROM sqlite_master WHERE type='table' "
                                "AND name IN ('Client','Film','Record','Operator','Setting')";

QString EngineText(sqlite3* db, int code) {
    const QString text = QString::fromUtf8(sqlite3_errmsg(db));
    return sqlite3_errcode(db) != SQLITE_OK ? text : QString::fromUtf8(sqlite3_errstr(code));
}

// The first column of the first row, as text; a null text with *error set when the query fails.
QString FirstValue(sqlite3* db, const char* sql, QString* error) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    QString value;
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        value = QString::fromUtf8(text ? text : "");
    } else {
        *error = EngineText(db, rc);
    }
    sqlite3_finalize(stmt);
    return value;
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

// A new, empty file of our own beside target, closed again before the engine writes into it.
QString MakeTemporary(const QString& target, QString* error) {
    QTemporaryFile file(target + QStringLiteral(".XXXXXX.part"));
    file.setAutoRemove(false);
    if (!file.open()) {
        *error = QStringLiteral("cannot write in %1: %2")
                     .arg(QFileInfo(target).absolutePath(), file.errorString());
        return {};
    }
    return file.fileName();
}

// The engine's online backup of source into the empty file temporary, keyed with source's
// password before the first page is written: an unkeyed target would receive a plain copy.
// One step copies every page in one read transaction, so the copy is of one moment and includes
// what is committed in the log.
bool WriteCopy(const ConnectionSettings& source, const QString& temporary, QString* error) {
    DatabaseHandle from = OpenDatabase(source, error);
    if (!from)
        return false;
    ConnectionSettings target = source;
    target.dataSource = temporary;
    DatabaseHandle into = CreateDatabase(target, error);
    if (!into)
        return false;
    sqlite3_backup* backup = sqlite3_backup_init(into.get(), "main", from.get(), "main");
    if (!backup) {
        *error = EngineText(into.get(), SQLITE_ERROR);
        return false;
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup); // also sets the target's error
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
        *error = EngineText(into.get(), stepped != SQLITE_DONE ? stepped : finished);
        return false;
    }
    return true;
}

// Puts temporary in place of target in one step; the file of that name before stays until then.
// The copy is readable by whom `like` is (the temporary file was made for its owner alone).
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
QString CheckedCopyBeside(const ConnectionSettings& source, const QString& target, QString* error) {
    const QString temporary = MakeTemporary(target, error);
    if (temporary.isEmpty())
        return {};
    ConnectionSettings copy = source;
    copy.dataSource = temporary;
    // The check closes the copy again: its own log must be folded in and gone.
    bool ok = WriteCopy(source, temporary, error) && ShopBackup::Check(copy, error);
    if (ok && QFileInfo::exists(temporary + QStringLiteral("-wal"))) {
        *error = QStringLiteral("the copy's log was not folded into it");
        ok = false;
    }
    if (!ok) {
        RemoveWithLog(temporary);
        return {};
    }
    return temporary;
}

// The engine's exclusive lock on the shop file, taken as a writer takes it, through the
// engine's own handle (a descriptor of ours would drop the locks of our other connections). In WAL
// mode a connection that has read the file keeps a shared lock on it until it is closed, so while
// this lock is held no program is working on the file and none can begin to read it.
class ShopLock {
public:
    ShopLock() = default;
    ShopLock(const ShopLock&) = delete;
    ShopLock& operator=(const ShopLock&) = delete;
    ~ShopLock() {
        if (m_file)
            m_file->pMethods->xUnlock(m_file, SQLITE_LOCK_NONE);
    }

    ShopBackup::RestoreResult Take(const QString& path, QString* error) {
        if (!QFileInfo::exists(path))
            return ShopBackup::RestoreResult::Restored; // nothing to lock
        ConnectionSettings settings;
        settings.dataSource = path; // no key: not a page is read
        m_db = OpenDatabase(settings, error);
        sqlite3_file* file = nullptr;
        if (!m_db ||
            sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
            !file || !file->pMethods) {
            if (error->isEmpty())
                *error = QStringLiteral("cannot open %1").arg(path);
            return ShopBackup::RestoreResult::Failed;
        }
        int rc = file->pMethods->xLock(file, SQLITE_LOCK_SHARED);
        if (rc == SQLITE_OK) {
            m_file = file;
            rc = file->pMethods->xLock(file, SQLITE_LOCK_RESERVED);
        }
        if (rc == SQLITE_OK)
            rc = file->pMethods->xLock(file, SQLITE_LOCK_EXCLUSIVE);
        if ((rc & 0xff) == SQLITE_BUSY) {
            *error = QStringLiteral("%1 is in use by a program; close Vorix and try again").arg(path);
            return ShopBackup::RestoreResult::InUse;
        }
        if (rc != SQLITE_OK) {
            *error = QStringLiteral("cannot lock %1: %2").arg(path, QString::fromUtf8(sqlite3_errstr(rc)));
            return ShopBackup::RestoreResult::Failed;
        }
        return ShopBackup::RestoreResult::Restored;
    }

private:
    DatabaseHandle m_db;
    sqlite3_file* m_file = nullptr;
};
} // namespace

QString ShopBackup::FileName(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH mm")) + QStringLiteral(".bak");
}

QString ShopBackup::TargetPath(const QString& folder, const QDateTime& when) {
    return QDir(QDir(folder).filePath(QStringLiteral("dbBak"))).filePath(FileName(when));
}

bool ShopBackup::Check(const ConnectionSettings& file, QString* error) {
    // The passphrase itself, as the sqlcipher shell is given it, not a key derived before.
    DatabaseHandle db = OpenDatabaseWithPassphrase(file, error);
    if (!db)
        return false;
    const QString tables = FirstValue(db.get(), kShopTables, error);
    if (tables.isNull())
        return false;
    if (tables != QLatin1String("5")) {
        *error = QStringLiteral("%1 is not a shop database").arg(file.dataSource);
        return false;
    }
    const QString verdict = FirstValue(db.get(), "PRAGMA integrity_check", error);
    if (verdict.isNull())
        return false;
    if (verdict != QLatin1String("ok")) {
        *error = QStringLiteral("%1 fails the integrity check: %2").arg(file.dataSource, verdict);
        return false;
    }
    return true;
}

bool ShopBackup::Copy(const ConnectionSettings& source, const QString& target, QString* error) {
    const QString temporary = CheckedCopyBeside(source, target, error);
    if (temporary.isEmpty())
        return false;
    if (!RenameOver(temporary, target, source.dataSource, error)) {
        RemoveWithLog(temporary);
        return false;
    }
    return true;
}

ShopBackup::RestoreResult ShopBackup::Restore(const QString& backup, const QString& shop,
                                              const QByteArray& password, QString* error) {
    const QFileInfo backupFile(backup);
    if (!backupFile.isFile()) {
        *error = QStringLiteral("%1 is not a file").arg(backup);
        return RestoreResult::BadBackup;
    }
    if (backupFile.canonicalFilePath() == QFileInfo(shop).canonicalFilePath()) {
        *error = QStringLiteral("%1 is the shop file itself").arg(backup);
        return RestoreResult::BadBackup;
    }
    // Held until the copy is in place, so that no program opens the old file meanwhile.
    ShopLock lock;
    const RestoreResult locked = lock.Take(shop, error);
    if (locked != RestoreResult::Restored)
        return locked;
    ConnectionSettings source;
    source.dataSource = backup;
    source.password = password;
    if (!Check(source, error))
        return RestoreResult::BadBackup;
    const QString temporary = CheckedCopyBeside(source, shop, error);
    if (temporary.isEmpty())
        return RestoreResult::Failed;
    if (!RenameOver(temporary, shop, QFileInfo::exists(shop) ? shop : backup, error)) {
        RemoveWithLog(temporary);
        return RestoreResult::Failed;
    }
    return RestoreResult::Restored;
}
