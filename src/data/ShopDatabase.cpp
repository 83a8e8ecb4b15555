#include "data/ShopDatabase.h"

#include "data/CAdoDb.h"

#include <QFile>
#include <iterator>
#include <sqlite3.h>

static void InitSchemaResource() {
    Q_INIT_RESOURCE(schema);
}

namespace {
// What each version adds to the one before it: kUpgrades[n] takes a file from version n to n + 1.
// res/schema.sql holds the same objects for a new file. Only objects beside the rows, never a row.
const char* const kUpgrades[] = {
    // 1: the rental browser's filters read their rows newest first straight from an index.
    "CREATE INDEX IF NOT EXISTS Record_Type ON Record (Type);"
    "CREATE INDEX IF NOT EXISTS Record_Out ON Record (ReturnDate) WHERE ReturnDate = '';",
};
static_assert(std::size(kUpgrades) == ShopDatabase::kSchemaVersion, "one upgrade for each version");

struct Step {
    sqlite3* db;
    int* code;
    QString* text;

    bool Run(const char* sql) const {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        *code = sqlite3_extended_errcode(db);
        *text = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    // The file's version; -1 when it cannot be read (the text says why).
    int Version() const {
        sqlite3_stmt* stmt = nullptr;
        int version = -1;
        if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            version = sqlite3_column_int(stmt, 0);
        else
            Run("PRAGMA user_version"); // fails again, and says why
        sqlite3_finalize(stmt);
        return version;
    }
    // An empty file, or one of another program under the same key, holds none of the shop's tables:
    // it is refused as the engine refuses a foreign file, rather than failing half-way through an
    // upgrade in the engine's words.
    bool HoldsTheShop() const {
        sqlite3_stmt* stmt = nullptr;
        int tables = -1;
        if (sqlite3_prepare_v2(db,
                               "SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                               "name IN ('Client','Film','Operator','Record','Setting')",
                               -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            tables = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        if (tables == 5)
            return true;
        *code = SQLITE_NOTADB;
        *text = QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB));
        return false;
    }
    bool RefuseNewer(int version) const {
        *code = SQLITE_ERROR;
        *text = QStringLiteral("数据库文件 cddata.mdb 是更新版本的程序写的(数据库版本 %1,本程序只认识到版本 "
                               "%2),本程序不能使用它。文件没有做任何改动,请使用新版本的程序。")
                    .arg(version)
                    .arg(ShopDatabase::kSchemaVersion);
        return false;
    }
};
} // namespace

bool ShopDatabase::BringUpToDate(sqlite3* db, int* errorCode, QString* errorText) {
    const Step step{db, errorCode, errorText};
    int version = step.Version();
    if (version < 0)
        return false;
    if (version == kSchemaVersion)
        return true;
    if (version > kSchemaVersion)
        return step.RefuseNewer(version);
    // Another program may be upgrading the same file: the version is read again under the lock.
    if (!step.Run("BEGIN IMMEDIATE"))
        return false;
    version = step.Version();
    bool ok = version >= 0 && (version <= kSchemaVersion || step.RefuseNewer(version)) && step.HoldsTheShop();
    for (int from = version; ok && from < kSchemaVersion; ++from)
        ok = step.Run(kUpgrades[from]);
    if (ok && version < kSchemaVersion)
        ok = step.Run(QByteArray("PRAGMA user_version = " + QByteArray::number(kSchemaVersion)).constData());
    if (ok)
        ok = step.Run("COMMIT");
    if (!ok)
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return ok;
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

    ConnectionSettings settings = ParseConnectionString(QString::fromUtf8(kConnectionString));
    settings.dataSource = temporary;
    DatabaseHandle db = CreateDatabase(settings, error);
    const auto run = [&db, error](const char* sql) {
        char* message = nullptr;
        const bool done = sqlite3_exec(db.get(), sql, nullptr, nullptr, &message) == SQLITE_OK;
        if (!done)
            *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db.get()));
        sqlite3_free(message);
        return done;
    };
    // An empty keyed file would accept any key: the tables are written at once. The log is then
    // folded into the file here, where a failure is reported; the close would do it silently, and
    // only the file itself is renamed into place.
    bool ok = db && run(schema.constData()) && run("PRAGMA wal_checkpoint(TRUNCATE)");
    db.reset(); // every statement is finalized: the close cannot fail
    if (ok && !QFile::rename(temporary, path)) {
        *error = QStringLiteral("could not rename %1 to %2").arg(temporary, path);
        ok = false;
    }
    if (!ok)
        QFile::remove(temporary);
    return ok;
}
