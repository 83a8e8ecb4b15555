#include "data/engine/file/ExclusiveLock.h"

#include <sqlite3.h>

ExclusiveLock::~ExclusiveLock() {
    if (m_file)
        m_file->pMethods->xUnlock(m_file, SQLITE_LOCK_NONE);
}

ExclusiveLock::Outcome ExclusiveLock::Take(const QString& path, QString* error) {
    ConnectionSettings settings;
    settings.dataSource = path; // no key: not a page is read
    m_db = DatabaseOpen::OpenDatabase(settings, error);
    sqlite3_file* file = nullptr;
    if (!m_db || sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods) {
        if (error->isEmpty())
            *error = QStringLiteral("cannot open %1").arg(path);
        return Outcome::Failed;
    }
    int rc = file->pMethods->xLock(file, SQLITE_LOCK_SHARED);
    if (rc == SQLITE_OK) {
        m_file = file;
        rc = file->pMethods->xLock(file, SQLITE_LOCK_RESERVED);
    }
    if (rc == SQLITE_OK)
        rc = file->pMethods->xLock(file, SQLITE_LOCK_EXCLUSIVE);
    if ((rc & 0xff) == SQLITE_BUSY)
        return Outcome::Busy;
    if (rc != SQLITE_OK) {
        *error = QStringLiteral("cannot lock %1: %2").arg(path, QString::fromUtf8(sqlite3_errstr(rc)));
        return Outcome::Failed;
    }
    return Outcome::Taken;
}
