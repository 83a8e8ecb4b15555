#include "DeskFixture.h"

#include "data/CAdoDb.h"

#include <sqlite3.h>

ForeignWriteLock::ForeignWriteLock() {
    QString error;
    m_db = OpenDatabase(ParseConnectionString(QString::fromUtf8(kConnectionString)), &error);
    if (!m_db || sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        qFatal("cannot lock the test database");
}

ForeignWriteLock::~ForeignWriteLock() {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}

int ForeignExec(const char* sql, int busyTimeoutMs) {
    QString error;
    sqlite3* db = OpenDatabase(ParseConnectionString(QString::fromUtf8(kConnectionString)), &error);
    if (!db)
        qFatal("cannot open the test database: %s", qPrintable(error));
    sqlite3_busy_timeout(db, busyTimeoutMs);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}
