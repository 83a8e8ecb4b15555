#include "data/RowStream.h"

#include "data/CAdoDb.h"
#include "data/SqlText.h"

#include <sqlite3.h>
#include <vector>

bool RowStream::Each(const QString& sql, const QList<int>& columns,
                     const std::function<bool(const QStringList& cells)>& row, QString* error) {
    const DatabaseHandle db =
        OpenDatabase(ParseConnectionString(QString::fromUtf8(kConnectionString)), error);
    if (!db)
        return false;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.get(), text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db.get()));
        return false;
    }
    std::vector<bool> money;
    for (const int column : columns) {
        money.push_back(Sql::IsAmount(stmt, column));
    }
    int rc = SQLITE_OK;
    QStringList cells;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        cells.clear();
        for (int i = 0; i < columns.size(); ++i) {
            const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, columns[i]));
            const QString cell = QString::fromUtf8(value ? value : "");
            cells << (money[size_t(i)] ? Sql::Amount(cell) : cell);
        }
        if (!row(cells)) {
            rc = SQLITE_DONE;
            break;
        }
    }
    if (rc != SQLITE_DONE)
        *error = QString::fromUtf8(sqlite3_errmsg(db.get()));
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}
