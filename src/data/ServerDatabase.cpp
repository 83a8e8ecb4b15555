#include "data/ServerDatabase.h"

#include "data/COperatorInfo.h"
#include "data/PasswordHash.h"

#include <QFile>
#include <libpq-fe.h>
#include <memory>

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

QByteArray Quoted(const QString& text) {
    return "'" + text.toUtf8().replace('\'', "''") + "'";
}
} // namespace

bool ServerDatabase::Prepare(const QString& connection, QString* error) {
    InitSchemaResource();
    QFile schemaFile(QStringLiteral(":/schema-pg.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the server's schema is missing from the program");
        return false;
    }
    const std::unique_ptr<PGconn, Closer> db(PQconnectdb(connection.toUtf8().constData()));
    if (PQstatus(db.get()) != CONNECTION_OK) {
        *error = QString::fromUtf8(PQerrorMessage(db.get())).trimmed();
        return false;
    }
    QString tables;
    if (!Run(db.get(),
             "SELECT string_agg(table_name, ', ' ORDER BY table_name) FROM information_schema.tables WHERE "
             "table_schema = current_schema() AND lower(table_name) IN "
             "('client','film','record','operator','setting','ledger','options','schemaversion')",
             error, &tables))
        return false;
    if (!tables.isEmpty()) {
        *error = QStringLiteral("the database already holds a shop's tables (%1); it is left as it is.")
                     .arg(tables);
        return false;
    }
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
