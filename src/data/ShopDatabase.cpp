#include "data/ShopDatabase.h"

#include "data/CAdoDb.h"
#include "data/SqlText.h"

#include <QFile>
#include <sqlite3.h>

static void InitSchemaResource() {
    Q_INIT_RESOURCE(schema);
}

bool ShopDatabase::Prepare(const QString& path, QString* error) {
    InitSchemaResource();
    if (QFile::exists(path)) {
        *error = QStringLiteral("%1 already exists; it is left as it is.").arg(path);
        return false;
    }
    QFile schemaFile(QStringLiteral(":/schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the schema is missing from the program");
        return false;
    }
    const QByteArray schema = schemaFile.readAll();
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-wal"));
    QFile::remove(temporary + QStringLiteral("-shm"));

    const ConnectionSettings settings = ParseConnectionString(QString::fromUtf8(kConnectionString));
    sqlite3* db = nullptr;
    const QByteArray file = temporary.toUtf8();
    bool ok = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) ==
              SQLITE_OK;
    const QByteArray key = "PRAGMA key = '" + Sql::Text(QString::fromUtf8(settings.password)).toUtf8() + "';";
    char* message = nullptr;
    // An empty keyed file would accept any key: the tables are written at once.
    ok = ok && sqlite3_exec(db, key.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, schema.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    if (!ok)
        *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    if (sqlite3_close(db) != SQLITE_OK && ok) {
        *error = QStringLiteral("could not close the new database");
        ok = false;
    }
    if (ok && !QFile::rename(temporary, path)) {
        *error = QStringLiteral("could not rename %1 to %2").arg(temporary, path);
        ok = false;
    }
    if (!ok)
        QFile::remove(temporary);
    return ok;
}
