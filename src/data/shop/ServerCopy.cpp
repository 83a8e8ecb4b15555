#include "data/shop/ServerCopy.h"

#include "base/SearchKeys.h"
#include "data/engine/server/ServerKeys.h"

#include <sqlite3.h>

namespace {
qint64 FileCount(sqlite3* file, const char* table) {
    sqlite3_stmt* stmt = nullptr;
    qint64 count = -1;
    if (sqlite3_prepare_v2(file, (QByteArray("SELECT count(*) FROM ") + table).constData(), -1, &stmt,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return count;
}
} // namespace

// Runs sql (one statement or several); false with the server's message in *error.
bool ServerCopy::Run(PGconn* db, const QByteArray& sql, QString* error, QString* value) {
    PGresult* result = PQexec(db, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok)
        *error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    else if (value)
        *value = PQntuples(result) > 0 ? QString::fromUtf8(PQgetvalue(result, 0, 0)) : QString();
    PQclear(result);
    return ok;
}

QByteArrayList ServerCopy::FileColumns(sqlite3* file, const char* table) {
    QByteArrayList columns;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(file, (QByteArray("PRAGMA table_info(") + table + ")").constData(), -1, &stmt,
                           nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW)
            columns << QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
    }
    sqlite3_finalize(stmt);
    return columns;
}

bool ServerCopy::CountsAgree(sqlite3* file, PGconn* server, const char* table, qint64 copied,
                             QList<QPair<QString, qint64>>* counts, QString* error) {
    QString counted;
    if (!Run(server, QByteArray("SELECT count(*) FROM ") + table, error, &counted))
        return false;
    const qint64 inFile = FileCount(file, table);
    if (inFile != copied || counted.toLongLong() != copied) {
        *error = QStringLiteral("%1: %2 rows copied, %3 in the file, %4 on the server")
                     .arg(QLatin1String(table))
                     .arg(copied)
                     .arg(inFile)
                     .arg(counted);
        return false;
    }
    counts->append({QLatin1String(table), copied});
    return true;
}

namespace {
bool WriteKeys(PGconn* server, const char* select, const char* table, bool films, QString* error) {
    PGresult* result = PQexec(server, select);
    const bool read = PQresultStatus(result) == PGRES_TUPLES_OK;
    if (!read)
        *error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    QList<SearchKeys::Source> rows;
    for (int row = 0; read && row < PQntuples(result); ++row)
        rows.append({QByteArray(PQgetvalue(result, row, 0)).toLongLong(),
                     QString::fromUtf8(PQgetvalue(result, row, 1)),
                     QString::fromUtf8(PQgetvalue(result, row, 2))});
    PQclear(result);
    bool ok = read;
    for (const QByteArray& insert : ServerEngine::KeyInserts(table, rows, films))
        ok = ok && ServerCopy::Run(server, insert, error);
    return ok;
}
} // namespace

bool ServerCopy::FillKeys(PGconn* server, QString* error) {
    return WriteKeys(server, "SELECT ID, FilmName, Playactor FROM Film", "FilmKey", true, error) &&
           WriteKeys(server, "SELECT ID, Remark, PhoneNum FROM Client", "ClientKey", false, error);
}
