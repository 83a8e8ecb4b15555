#include "data/shop/ServerDatabase.h"

#include "base/PasswordHash.h"
#include "data/COperatorInfo.h"
#include "data/shop/ShopDatabase.h"

#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

static void InitSchemaResource() {
    Q_INIT_RESOURCE(schema);
}

namespace {
struct Closer {
    void operator()(PGconn* db) const { PQfinish(db); }
};

// Runs sql (one statement or several); false with the server's message in *error.
bool Run(PGconn* db, const QByteArray& sql, QString* error, QString* value = nullptr) {
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

// Connects to the server's database and opens the schema; null when either fails or when the
// database already holds a shop.
std::unique_ptr<PGconn, Closer> Connect(const QString& connection, QFile* schema, QString* error) {
    InitSchemaResource();
    schema->setFileName(QStringLiteral(":/schema-pg.sql"));
    if (!schema->open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the server's schema is missing from the program");
        return nullptr;
    }
    std::unique_ptr<PGconn, Closer> db(PQconnectdb(connection.toUtf8().constData()));
    if (PQstatus(db.get()) != CONNECTION_OK) {
        *error = QString::fromUtf8(PQerrorMessage(db.get())).trimmed();
        return nullptr;
    }
    QString tables;
    if (!Run(db.get(),
             "SELECT string_agg(table_name, ', ' ORDER BY table_name) FROM information_schema.tables WHERE "
             "table_schema = current_schema() AND lower(table_name) IN "
             "('client','film','record','operator','setting','ledger','options','schemaversion')",
             error, &tables))
        return nullptr;
    if (!tables.isEmpty()) {
        *error = QStringLiteral("the database already holds a shop's tables (%1); it is left as it is.")
                     .arg(tables);
        return nullptr;
    }
    return db;
}

QByteArray Quoted(const QString& text) {
    return "'" + text.toUtf8().replace('\'', "''") + "'";
}
} // namespace

bool ServerDatabase::Prepare(const QString& connection, QString* error) {
    QFile schemaFile;
    const std::unique_ptr<PGconn, Closer> db = Connect(connection, &schemaFile, error);
    if (!db)
        return false;
    const QString hash = PasswordHash::Make(QLatin1String(COperatorInfo::kFirstPassword));
    if (hash.isEmpty()) {
        *error = QStringLiteral("no random salt for the first password");
        return false;
    }
    const QByteArray admin = "INSERT INTO Operator (OptName, OptPwd, Type) VALUES (" +
                             Quoted(QLatin1String(COperatorInfo::kFirstAdmin)) + ", " + Quoted(hash) + ", " +
                             Quoted(QStringLiteral("管理员")) + ")";
    if (!Run(db.get(), "BEGIN", error))
        return false;
    if (!Run(db.get(), schemaFile.readAll(), error) || !Run(db.get(), admin, error) ||
        !Run(db.get(), "COMMIT", error)) {
        QString ignored;
        Run(db.get(), "ROLLBACK", &ignored);
        return false;
    }
    return true;
}

namespace {
// The tables of a shop, in the order they are copied.
const char* const kTables[] = {"Client", "Film", "Record", "Operator", "Setting", "Ledger", "Options"};

// A value as COPY's text format carries it: backslash, tab, newline and carriage return escaped.
void AppendCopyValue(QByteArray* line, const char* value, int size) {
    if (!value) {
        *line += "\\N";
        return;
    }
    for (int i = 0; i < size; ++i) {
        switch (value[i]) {
        case '\\':
            *line += "\\\\";
            break;
        case '\t':
            *line += "\\t";
            break;
        case '\n':
            *line += "\\n";
            break;
        case '\r':
            *line += "\\r";
            break;
        default:
            *line += value[i];
        }
    }
}

// The names of a table's columns in the file, in their order.
QByteArrayList FileColumns(sqlite3* file, const char* table) {
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

// Streams every row of a table of the file into the same table on the server; the rows copied.
qint64 CopyTable(sqlite3* file, PGconn* server, const char* table, QString* error) {
    const QByteArrayList columns = FileColumns(file, table);
    if (columns.isEmpty()) {
        *error = QStringLiteral("the file has no table %1").arg(QLatin1String(table));
        return -1;
    }
    const QByteArray list = columns.join(',');
    PGresult* started = PQexec(server, "COPY " + QByteArray(table) + " (" + list + ") FROM STDIN");
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    if (!copying)
        *error = QString::fromUtf8(PQresultErrorMessage(started)).trimmed();
    PQclear(started);
    if (!copying)
        return -1;
    sqlite3_stmt* stmt = nullptr;
    qint64 rows = 0;
    bool ok = sqlite3_prepare_v2(file, ("SELECT " + list + " FROM " + table + " ORDER BY rowid").constData(),
                                 -1, &stmt, nullptr) == SQLITE_OK;
    QByteArray line;
    int rc = SQLITE_OK;
    while (ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        line.clear();
        for (int c = 0; c < columns.size(); ++c) {
            if (c > 0)
                line += '\t';
            AppendCopyValue(&line, reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                            sqlite3_column_bytes(stmt, c));
        }
        line += '\n';
        ok = PQputCopyData(server, line.constData(), int(line.size())) == 1;
        ++rows;
    }
    if (ok && rc != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errmsg(file));
        ok = false;
    }
    sqlite3_finalize(stmt);
    if (PQputCopyEnd(server, ok ? nullptr : "the copy from the file failed") != 1)
        ok = false;
    PGresult* ended = PQgetResult(server);
    if (PQresultStatus(ended) != PGRES_COMMAND_OK) {
        if (error->isEmpty())
            *error = QString::fromUtf8(PQresultErrorMessage(ended)).trimmed();
        ok = false;
    }
    PQclear(ended);
    while (PGresult* more = PQgetResult(server))
        PQclear(more);
    return ok ? rows : -1;
}

// The schema's statements in two parts: the tables (and the rest) and the indexes. Statements end
// with ";" at the end of a line; a statement's own comment lines go with it.
void SplitIndexes(const QByteArray& schema, QByteArray* tables, QByteArray* indexes) {
    QByteArray statement;
    for (const QByteArray& line : schema.split('\n')) {
        statement += line + '\n';
        if (!line.trimmed().endsWith(';'))
            continue;
        QByteArray code;
        for (const QByteArray& part : statement.split('\n')) {
            if (!part.trimmed().startsWith("--"))
                code += part.trimmed() + ' ';
        }
        const QByteArray upper = code.trimmed().toUpper();
        (upper.startsWith("CREATE INDEX") || upper.startsWith("CREATE UNIQUE INDEX") ? indexes : tables)
            ->append(statement);
        statement.clear();
    }
    tables->append(statement);
}

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

// After a table is copied: the rows copied, the server's count and the file's agree, and the count
// joins *counts; otherwise *error says how they differ.
bool CountsAgree(sqlite3* file, PGconn* server, const char* table, qint64 copied,
                 ServerDatabase::Counts* counts, QString* error) {
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
} // namespace

bool ServerDatabase::CopyFromFile(const QString& filePath, const QString& connection, Counts* counts,
                                  QString* error) {
    counts->clear();
    QFile schemaFile;
    const std::unique_ptr<PGconn, Closer> server = Connect(connection, &schemaFile, error);
    if (!server)
        return false;
    ConnectionSettings settings = ParseConnectionString(QString::fromUtf8(kConnectionString));
    settings.dataSource = filePath;
    if (!QFileInfo::exists(filePath)) {
        *error = QStringLiteral("%1 does not exist").arg(filePath);
        return false;
    }
    QString failure;
    const DatabaseHandle file = OpenDatabaseDescribed(settings, &failure);
    if (!file) {
        *error = failure;
        return false;
    }
    // One snapshot of the file, however the desks write meanwhile; one transaction on the server.
    if (!RunStatement(file.get(), "BEGIN", error))
        return false;
    // The indexes are made after the rows are in: built once, they take a fraction of the time
    // that keeping them up row by row would.
    QByteArray tables;
    QByteArray indexes;
    SplitIndexes(schemaFile.readAll(), &tables, &indexes);
    bool ok = Run(server.get(), "BEGIN", error) && Run(server.get(), tables, error) &&
              Run(server.get(), "DELETE FROM Setting", error); // the file's own prices come instead
    for (const char* table : kTables) {
        if (!ok)
            break;
        const qint64 copied = CopyTable(file.get(), server.get(), table, error);
        ok = copied >= 0 && CountsAgree(file.get(), server.get(), table, copied, counts, error);
    }
    ok = ok && Run(server.get(), indexes, error);
    // New rows on the server take the IDs after the copied ones.
    for (const char* table : {"Client", "Film", "Record", "Operator", "Ledger"}) {
        const QByteArray name = QByteArray(table).toLower();
        ok = ok && Run(server.get(),
                       "SELECT setval(pg_get_serial_sequence('" + name +
                           "', 'id'), GREATEST(MAX(ID), 1), MAX(ID) "
                           "IS NOT NULL) FROM " +
                           name,
                       error);
    }
    ok = ok && Run(server.get(), "COMMIT", error);
    if (!ok) {
        QString ignored;
        Run(server.get(), "ROLLBACK", &ignored);
        counts->clear();
    }
    RunStatement(file.get(), "ROLLBACK", &failure);
    return ok;
}

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
} // namespace

bool ServerDatabase::CopyToFile(const QString& connection, const QString& filePath, Counts* counts,
                                QString* error) {
    counts->clear();
    if (QFileInfo::exists(filePath)) {
        *error = QStringLiteral("%1 already exists; it is left as it is.").arg(filePath);
        return false;
    }
    const std::unique_ptr<PGconn, Closer> server(PQconnectdb(connection.toUtf8().constData()));
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
    // A new keyed file of this program's schema, emptied of its first rows, filled, then put in place.
    const QString temporary = filePath + QStringLiteral(".moving");
    QFile::remove(temporary);
    if (!ShopDatabase::Prepare(temporary, error))
        return false;
    bool ok = true;
    {
        ConnectionSettings settings = ParseConnectionString(QString::fromUtf8(kConnectionString));
        settings.dataSource = temporary;
        const DatabaseHandle file = OpenDatabase(settings, error);
        ok = file && RunStatement(file.get(), "BEGIN IMMEDIATE", error);
        // The file's indexes are made again after the rows, as on the way there.
        QList<QPair<QByteArray, QByteArray>> indexes; // name, statement
        if (ok) {
            sqlite3_stmt* stmt = nullptr;
            ok = sqlite3_prepare_v2(
                     file.get(), "SELECT name, sql FROM sqlite_master WHERE type='index' AND sql IS NOT NULL",
                     -1, &stmt, nullptr) == SQLITE_OK;
            while (ok && sqlite3_step(stmt) == SQLITE_ROW)
                indexes.append(
                    qMakePair(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))),
                              QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)))));
            sqlite3_finalize(stmt);
            if (!ok)
                *error = QString::fromUtf8(sqlite3_errmsg(file.get()));
        }
        for (const auto& [name, sql] : indexes)
            ok = ok && RunStatement(file.get(), ("DROP INDEX " + name).constData(), error);
        for (const char* table : kTables) {
            if (!ok)
                break;
            ok = RunStatement(file.get(), (QByteArray("DELETE FROM ") + table).constData(), error);
            const qint64 copied = ok ? CopyTableBack(server.get(), file.get(), table, error) : -1;
            ok = copied >= 0 && CountsAgree(file.get(), server.get(), table, copied, counts, error);
        }
        for (const auto& [name, sql] : indexes)
            ok = ok && RunStatement(file.get(), sql.constData(), error);
        ok = ok && RunStatement(file.get(), "COMMIT", error) &&
             RunStatement(file.get(), "PRAGMA wal_checkpoint(TRUNCATE)", error);
    }
    QString ignored;
    Run(server.get(), "ROLLBACK", &ignored);
    if (ok && !QFile::rename(temporary, filePath)) {
        *error = QStringLiteral("could not rename %1 to %2").arg(temporary, filePath);
        ok = false;
    }
    if (!ok) {
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(temporary + suffix);
        counts->clear();
    }
    return ok;
}
