#include "data/shop/ShopDatabase.h"

#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"
#include "data/engine/file/SchemaUpgrade.h"
#include "data/shop/ShopPermissions.h"

#include <QFile>

static void InitSchemaResource() {
    Q_INIT_RESOURCE(schema);
}

namespace {
QByteArray SchemaText(QString* error) {
    InitSchemaResource();
    QFile schemaFile(QStringLiteral(":/schema.sql"));
    if (!schemaFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("the schema is missing from the program");
        return {};
    }
    return schemaFile.readAll();
}
} // namespace

bool ShopDatabase::WriteSchema(sqlite3* db, QString* error) {
    const QByteArray schema = SchemaText(error);
    EngineError upgrade;
    // The schema's own "PRAGMA journal_mode = WAL" changes nothing in a file in WAL mode.
    if (schema.isEmpty() || !FileError::Run(db, schema.constData(), error))
        return false;
    if (!SchemaUpgrade::UpgradeWithin(db, 0, &upgrade)) {
        *error = upgrade.text;
        return false;
    }
    return true;
}

bool ShopDatabase::Prepare(const QString& path, QString* error) {
    if (QFile::exists(path)) {
        *error = QStringLiteral("%1 already exists; it is left as it is.").arg(path);
        return false;
    }
    const QByteArray schema = SchemaText(error);
    if (schema.isEmpty())
        return false;
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-wal"));
    QFile::remove(temporary + QStringLiteral("-shm"));
    // The owner's alone from the start; the engine gives its -wal and -shm the file's permissions.
    if (!ShopPermissions::CreatePrivateFile(temporary, error))
        return false;

    ConnectionSettings settings =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    settings.dataSource = temporary;
    DatabaseHandle db = DatabaseOpen::CreateDatabase(settings, error);
    const auto run = [&db, error](const char* sql) { return FileError::Run(db.get(), sql, error); };
    // An empty keyed file would accept any key: the tables are written at once. The log is then
    // folded into the file here, where a failure is reported; the close would do it silently, and
    // only the file itself is renamed into place.
    // The first password is stored as typed in the schema; the upgrade stores it hashed.
    EngineError upgrade;
    bool ok = db && run(schema.constData());
    if (ok && !SchemaUpgrade::BringUpToDate(db.get(), &upgrade)) {
        *error = upgrade.text;
        ok = false;
    }
    ok = ok && run("PRAGMA wal_checkpoint(TRUNCATE)");
    db.reset(); // every statement is finalized: the close cannot fail
    if (ok && !QFile::rename(temporary, path)) {
        *error = QStringLiteral("could not rename %1 to %2").arg(temporary, path);
        ok = false;
    }
    if (!ok)
        QFile::remove(temporary);
    return ok;
}
