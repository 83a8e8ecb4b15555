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
