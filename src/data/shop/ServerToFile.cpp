#include "data/shop/ServerDatabase.h"

#include "data/engine/EngineError.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"
#include "data/engine/file/SchemaSummaries.h"
#include "data/engine/file/SchemaUpgrade.h"
#include "data/shop/ServerCopy.h"
#include "data/shop/ShopBackup.h"
#include "data/shop/ShopDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

using ServerCopy::CountsAgree;
using ServerCopy::FileColumns;
using ServerCopy::kTables;
using ServerCopy::Run;

namespace {
// A value of COPY's text format as it stands: the escapes undone; null for \N.
bool ReadCopyValue(const QByteArray& field, QByteArray* value) {
    if (field == "\\N")
        return false;
    value->clear();
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            *value += field[i];
            continue;
        }
        const char next = field[++i];
        *value += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return true;
}

// Copies every row of a table on the server into the same table of the file; the rows copied.
qint64 CopyTableBack(PGconn* server, sqlite3* file, const char* table, QString* error) {
    const QByteArrayList columns = FileColumns(file, table);
    const QByteArray list = columns.join(',');
    QByteArray marks;
    for (int c = 0; c < columns.size(); ++c)
        marks += c ? ",?" : "?";
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(
            file, ("INSERT INTO " + QByteArray(table) + " (" + list + ") VALUES (" + marks + ")").constData(),
            -1, &insert, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(file));
        return -1;
    }
    // In the order of the rows' keys, as the file keeps them.
    const QByteArray order = columns.contains("ID") ? " ORDER BY ID" : "";
    PGresult* started = PQexec(server, "COPY (SELECT " + list + " FROM " + table + order + ") TO STDOUT");
    bool ok = PQresultStatus(started) == PGRES_COPY_OUT;
    if (!ok)
        *error = QString::fromUtf8(PQresultErrorMessage(started)).trimmed();
    PQclear(started);
    qint64 rows = 0;
    char* buffer = nullptr;
    int size = 0;
    QByteArray value;
    while (ok && (size = PQgetCopyData(server, &buffer, 0)) > 0) {
        QByteArray line(buffer, size);
        PQfreemem(buffer);
        if (line.endsWith('\n'))
            line.chop(1);
        const QByteArrayList fields = line.split('\t');
        sqlite3_reset(insert);
        for (int c = 0; c < columns.size(); ++c) {
            if (c < fields.size() && ReadCopyValue(fields.at(c), &value))
                sqlite3_bind_text(insert, c + 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_null(insert, c + 1);
        }
        if (sqlite3_step(insert) != SQLITE_DONE) {
            *error = QString::fromUtf8(sqlite3_errmsg(file));
            ok = false;
        }
        ++rows;
    }
    if (ok && size == -2) {
        *error = QString::fromUtf8(PQerrorMessage(server)).trimmed();
        ok = false;
    }
    sqlite3_finalize(insert);
    while (PGresult* result = PQgetResult(server)) {
        if (ok && PQresultStatus(result) != PGRES_COMMAND_OK) {
            *error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
            ok = false;
        }
        PQclear(result);
    }
    return ok ? rows : -1;
}

// The file's indexes and triggers ("INDEX name" or "TRIGGER name", statement), dropped while the
// rows go in and made again after them, as on the way to the server; the summaries the triggers
// keep are then written from the rows (SchemaSummaries.h).
bool DropIndexesAndTriggers(sqlite3* file, QList<QPair<QByteArray, QByteArray>>* indexes, QString* error) {
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_prepare_v2(file,
                                 "SELECT upper(type) || ' ' || name, sql FROM sqlite_master WHERE type IN "
                                 "('index', 'trigger') AND sql IS NOT NULL",
                                 -1, &stmt, nullptr) == SQLITE_OK;
    while (ok && sqlite3_step(stmt) == SQLITE_ROW)
        indexes->append(qMakePair(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))),
                                  QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)))));
    sqlite3_finalize(stmt);
    if (!ok)
        *error = QString::fromUtf8(sqlite3_errmsg(file));
    for (const auto& [name, sql] : *indexes)
        ok = ok && FileError::Run(file, ("DROP " + name).constData(), error);
    return ok;
}

// Writes the server's shop into the new, empty file at path in one transaction: the schema of
// this program, then every row of every table. Until that commits the file holds no table at all,
// so a copy killed half-way is no shop that a restore would take.
bool WriteFile(PGconn* server, const QString& path, ServerDatabase::Counts* counts,
               const ShopBackup::Progress& progress, QString* error) {
    ConnectionSettings settings =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    settings.dataSource = path;
    const DatabaseHandle file = DatabaseOpen::CreateDatabase(settings, error);
    QList<QPair<QByteArray, QByteArray>> indexes;
    bool ok = file && FileError::Run(file.get(), "PRAGMA journal_mode = WAL", error) &&
              FileError::Run(file.get(), "BEGIN IMMEDIATE", error) &&
              ShopDatabase::WriteSchema(file.get(), error) &&
              DropIndexesAndTriggers(file.get(), &indexes, error);
    int done = 0;
    for (const char* table : kTables) {
        if (!ok)
            break;
        ok = FileError::Run(file.get(), (QByteArray("DELETE FROM ") + table).constData(), error);
        const qint64 copied = ok ? CopyTableBack(server, file.get(), table, error) : -1;
        ok = copied >= 0 && CountsAgree(file.get(), server, table, copied, counts, error);
        if (ok && progress)
            progress(ShopBackup::Stage::Copying, ++done, int(std::size(kTables)));
    }
    for (const auto& [name, sql] : indexes)
        ok = ok && FileError::Run(file.get(), sql.constData(), error);
    // After the indexes: the summaries read each disc's and customer's rentals through them.
    ok = ok && FileError::Run(file.get(), SchemaSummaries::kFill, error);
    // The log is folded into the file here, where a failure is reported: only the file is renamed.
    return ok && FileError::Run(file.get(), "COMMIT", error) &&
           FileError::Run(file.get(), "PRAGMA wal_checkpoint(TRUNCATE)", error);
}

// Puts temporary in place of target: over an earlier file of that name, or only where none is.
bool PutInPlace(const QString& temporary, const QString& target, ServerDatabase::Existing existing,
                QString* error) {
    if (existing == ServerDatabase::Existing::Refuse) {
        if (QFile::rename(temporary, target)) // never over a file of that name
            return true;
        *error = QFileInfo::exists(target)
                     ? QStringLiteral("%1 already exists; it is left as it is.").arg(target)
                     : QStringLiteral("could not rename %1 to %2").arg(temporary, target);
        return false;
    }
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(target + QLatin1String(suffix)); // a log of an earlier file would be replayed onto it
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        *error = QStringLiteral("cannot rename %1 to %2: %3")
                     .arg(temporary, target, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}
} // namespace

bool ServerDatabase::CopyToFile(const QString& connection, const QString& filePath, Counts* counts,
                                QString* error, Existing existing, const ShopBackup::Progress& progress) {
    counts->clear();
    if (existing == Existing::Refuse && QFileInfo::exists(filePath)) {
        *error = QStringLiteral("%1 already exists; it is left as it is.").arg(filePath);
        return false;
    }
    const ServerCopy::Connection server(PQconnectdb(connection.toUtf8().constData()));
    if (PQstatus(server.get()) != CONNECTION_OK) {
        *error = QString::fromUtf8(PQerrorMessage(server.get())).trimmed();
        return false;
    }
    // One snapshot of the server's shop, however the desks write meanwhile.
    QString version;
    if (!Run(server.get(), "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", error) ||
        !Run(server.get(), "SELECT Version FROM SchemaVersion", error, &version))
        return false;
    if (version.toInt() != Schema::kVersion) {
        *error = QStringLiteral("the server's shop is at version %1, this program at %2")
                     .arg(version)
                     .arg(Schema::kVersion);
        return false;
    }
    // Written under the temporary name of a backup, which the next backup removes if this one is
    // killed, checked as a restore checks a backup, and only then given its name.
    ShopBackup::RemoveStaleTemporaries(QFileInfo(filePath).absolutePath());
    const QString temporary = ShopBackup::MakeTemporary(filePath, error);
    if (temporary.isEmpty())
        return false;
    ConnectionSettings copy = DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    copy.dataSource = temporary;
    bool ok = WriteFile(server.get(), temporary, counts, progress, error) &&
              ShopBackup::Check(copy, error, ShopBackup::Depth::Quick);
    QString ignored;
    Run(server.get(), "ROLLBACK", &ignored);
    ok = ok && PutInPlace(temporary, filePath, existing, error);
    if (!ok) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(temporary + QLatin1String(suffix));
        counts->clear();
    }
    return ok;
}
