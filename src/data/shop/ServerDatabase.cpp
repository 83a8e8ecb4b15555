#include "data/shop/ServerDatabase.h"

#include "data/shop/ServerCopy.h"
#include "data/shop/ShopCheck.h"

#include "base/PasswordHash.h"
#include "data/COperatorInfo.h"
#include "data/shop/ShopDatabase.h"

#include "data/engine/EngineError.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"
#include "data/engine/file/SchemaUpgrade.h"
#include "data/engine/server/ServerSummaries.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

static void InitServerSchemaResource() {
    Q_INIT_RESOURCE(schema);
}

using ServerCopy::CountsAgree;
using ServerCopy::FileColumns;
using ServerCopy::kTables;
using ServerCopy::Run;

namespace {
// Connects to the server's database and opens the schema; null when either fails or when the
// database is not empty.
ServerCopy::Connection Connect(const QString& connection, QFile* schema, QString* error) {
    InitServerSchemaResource();
    schema->setFileName(QStringLiteral(":/schema-pg.sql"));
    if (!schema->open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the server's schema is missing from the program");
        return nullptr;
    }
    ServerCopy::Connection db(PQconnectdb(connection.toUtf8().constData()));
    if (PQstatus(db.get()) != CONNECTION_OK) {
        *error = QString::fromUtf8(PQerrorMessage(db.get())).trimmed();
        return nullptr;
    }
    // Any table, view or foreign table in any schema of the users, a shop's or another program's.
    QString tables;
    if (!Run(db.get(),
             "SELECT string_agg(n.nspname || '.' || c.relname, ', ' ORDER BY n.nspname, c.relname) FROM "
             "pg_class c "
             "JOIN pg_namespace n ON n.oid = c.relnamespace WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND "
             "n.nspname NOT IN ('pg_catalog', 'information_schema') AND n.nspname NOT LIKE 'pg\\_toast%' AND "
             "n.nspname NOT LIKE 'pg\\_temp%'",
             error, &tables))
        return nullptr;
    if (!tables.isEmpty()) {
        *error = QStringLiteral("the database already holds tables (%1): a shop goes only into an empty "
                                "database; it is left as it is.")
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
    const ServerCopy::Connection db = Connect(connection, &schemaFile, error);
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
    if (!Run(db.get(), schemaFile.readAll(), error) || !Run(db.get(), ServerEngine::kSummaries, error) ||
        !Run(db.get(), admin, error) || !Run(db.get(), "COMMIT", error)) {
        QString ignored;
        Run(db.get(), "ROLLBACK", &ignored);
        return false;
    }
    return true;
}

namespace {
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
    // A password stored as typed (an older file's, or one written by hand) goes over as its hash.
    const qsizetype password = qstrcmp(table, "Operator") == 0 ? columns.indexOf("OptPwd") : -1;
    QByteArray line;
    QByteArray hashed;
    int rc = SQLITE_OK;
    while (ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        line.clear();
        for (int c = 0; c < columns.size(); ++c) {
            if (c > 0)
                line += '\t';
            const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            int size = sqlite3_column_bytes(stmt, c);
            if (c == password && value && !PasswordHash::IsHash(QString::fromUtf8(value, size))) {
                hashed = PasswordHash::Make(QString::fromUtf8(value, size)).toUtf8();
                if (hashed.isEmpty()) {
                    *error = QStringLiteral("no random salt for a password hash");
                    ok = false;
                }
                value = hashed.constData();
                size = int(hashed.size());
            }
            AppendCopyValue(&line, value, size);
        }
        if (!ok)
            break;
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

} // namespace

bool ServerDatabase::CopyFromFile(const QString& filePath, const QString& connection, Counts* counts,
                                  QString* error) {
    counts->clear();
    QFile schemaFile;
    const ServerCopy::Connection server = Connect(connection, &schemaFile, error);
    if (!server)
        return false;
    ConnectionSettings settings =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    settings.dataSource = filePath;
    if (!QFileInfo::exists(filePath)) {
        *error = QStringLiteral("%1 does not exist").arg(filePath);
        return false;
    }
    // The file is only read: a file of an earlier version is copied as it is, not brought up to date.
    OpenOptions readOnly;
    readOnly.readOnly = true;
    EngineError failure;
    const DatabaseHandle file = DatabaseOpen::OpenKeyed(settings, readOnly, &failure);
    if (!file) {
        *error = EngineError::Describe(failure);
        return false;
    }
    // One snapshot of the file, however the desks write meanwhile; one transaction on the server.
    QString version;
    if (!FileError::Run(file.get(), "BEGIN", error) ||
        !ShopCheck::HoldsACompleteShop(file.get(), filePath, error) ||
        (version = ShopCheck::FirstValue(file.get(), "PRAGMA user_version", error)).isNull())
        return false;
    const QStringList inFile = SchemaUpgrade::TablesOf(version.toInt());
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
        if (!inFile.contains(QLatin1String(table))) { // a table of a later version: empty on the server
            counts->append({QLatin1String(table), 0});
            continue;
        }
        const qint64 copied = CopyTable(file.get(), server.get(), table, error);
        ok = copied >= 0 && CountsAgree(file.get(), server.get(), table, copied, counts, error);
    }
    // A file from before the search keys: the server writes them, before their indexes.
    if (ok && !inFile.contains(QStringLiteral("FilmKey"))) {
        ok = ServerCopy::FillKeys(server.get(), error);
        for (auto& [table, rows] : *counts) {
            QString written;
            if (ok && (table == QLatin1String("FilmKey") || table == QLatin1String("ClientKey")) &&
                (ok = Run(server.get(), "SELECT count(*) FROM " + table.toLatin1(), error, &written)))
                rows = written.toLongLong();
        }
    }
    // The summaries from the rows copied, and their triggers, after the indexes they read through.
    ok = ok && Run(server.get(), indexes, error) && Run(server.get(), ServerEngine::kSummaries, error);
    // New rows on the server take the IDs after the copied ones.
    for (const char* table : {"Client", "Film", "Record", "Operator", "Ledger", "DeskAction", "Reservation",
                              "ImportRun", "AuditTrail"}) {
        const QByteArray name = QByteArray(table).toLower();
        ok = ok && Run(server.get(),
                       "SELECT setval(pg_get_serial_sequence('" + name +
                           "', 'id'), GREATEST(MAX(ID), 1), MAX(ID) "
                           "IS NOT NULL) FROM " +
                           name,
                       error);
    }
    ok = ok && Run(server.get(), "COMMIT", error);
    QString ignored;
    if (!ok) {
        Run(server.get(), "ROLLBACK", &ignored);
        counts->clear();
    } else {
        // The planner's statistics of the rows just copied, so that the first searches read through
        // the indexes; without them it is autovacuum's, minutes later. A failure changes nothing.
        Run(server.get(), "ANALYZE", &ignored);
    }
    FileError::Run(file.get(), "ROLLBACK", &ignored);
    return ok;
}
