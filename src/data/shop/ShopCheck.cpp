#include "data/shop/ShopCheck.h"

#include "data/engine/file/FileError.h"

#include "data/engine/EngineError.h"
#include "data/engine/file/SchemaUpgrade.h"

#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

QString ShopCheck::FirstValue(sqlite3* db, const char* sql, QString* error) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    QString value;
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        value = QString::fromUtf8(text ? text : "");
    } else {
        *error = FileError::Last(db, rc).text;
    }
    sqlite3_finalize(stmt);
    return value;
}

bool ShopCheck::HoldsACompleteShop(sqlite3* db, const QString& name, QString* error) {
    const QString read = FirstValue(db, "PRAGMA user_version", error);
    if (read.isNull())
        return false;
    const int version = read.toInt();
    if (version < 0 || version > Schema::kVersion) {
        *error = QStringLiteral("%1 is of a version this program does not know (%2; it knows up to %3)")
                     .arg(name)
                     .arg(version)
                     .arg(Schema::kVersion);
        return false;
    }
    const QString tables =
        FirstValue(db, "SELECT group_concat(name, ',') FROM sqlite_master WHERE type='table'", error);
    if (tables.isNull())
        return false;
    const QStringList present = tables.split(QLatin1Char(','));
    QStringList missing;
    for (const QString& table : SchemaUpgrade::TablesOf(version)) {
        if (!present.contains(table))
            missing << table;
    }
    if (!missing.isEmpty()) {
        *error = QStringLiteral("%1 is not a complete shop database (version %2 without %3)")
                     .arg(name)
                     .arg(version)
                     .arg(missing.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

bool ShopCheck::LogBeside(const QString& path) {
    for (const char* suffix : {"-wal", "-journal"}) {
        if (QFileInfo(path + QLatin1String(suffix)).size() > 0)
            return true;
    }
    return false;
}
