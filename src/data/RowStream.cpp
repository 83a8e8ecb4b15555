#include "data/RowStream.h"

#include "data/Sql.h"
#include "data/engine/ConnectionPool.h"
#include "data/engine/ShopConnection.h"

#include <vector>

bool RowStream::Each(const QString& sql, const std::function<bool(const EngineStatement& row)>& row,
                     QString* error, Reading reading) {
    const QString shop = ShopConnection::Current();
    EngineError failure;
    ConnectionHandle db = ConnectionPool::Take(shop, &failure);
    if (!db) {
        *error = failure.text;
        return false;
    }
    if (reading == Reading::Scan)
        db->PrepareForScan();
    db->SetRowsOnDemand(true);
    bool ok = false;
    EngineStatement::Step step = EngineStatement::Failed;
    if (const std::unique_ptr<EngineStatement> stmt = db->Prepare(sql, &ok)) {
        while ((step = stmt->Next()) == EngineStatement::Row && row(*stmt)) {
        }
        ok = step != EngineStatement::Failed && step != EngineStatement::Interrupted;
    }
    if (!ok)
        *error = db->Error().text;
    db->SetRowsOnDemand(false);
    ConnectionPool::Give(std::move(db), shop, ok);
    return ok;
}

bool RowStream::Each(const QString& sql, const QList<int>& columns,
                     const std::function<bool(const QStringList& cells)>& row, QString* error) {
    std::vector<bool> money;
    QStringList cells;
    return Each(
        sql,
        [&](const EngineStatement& stmt) {
            if (money.empty()) {
                for (const int column : columns)
                    money.push_back(stmt.IsAmount(column));
            }
            cells.clear();
            for (int i = 0; i < columns.size(); ++i) {
                const QString cell = stmt.Text(columns[i]);
                cells << (money[size_t(i)] ? Sql::Amount(cell) : cell);
            }
            return row(cells);
        },
        error);
}
