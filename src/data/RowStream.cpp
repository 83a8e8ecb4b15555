#include "data/RowStream.h"

#include "data/CAdoDb.h"
#include "data/Sql.h"

#include <vector>

bool RowStream::Each(const QString& sql, const QList<int>& columns,
                     const std::function<bool(const QStringList& cells)>& row, QString* error) {
    EngineError failure;
    const ConnectionHandle db = Engine::Open(ShopConnection::Current(), &failure);
    if (!db) {
        *error = failure.text;
        return false;
    }
    db->SetRowsOnDemand(true);
    bool ok = false;
    const std::unique_ptr<EngineStatement> stmt = db->Prepare(sql, &ok);
    if (!stmt) {
        *error = db->Error().text;
        return ok;
    }
    std::vector<bool> money;
    for (const int column : columns) {
        money.push_back(stmt->IsAmount(column));
    }
    EngineStatement::Step step = EngineStatement::Done;
    QStringList cells;
    while ((step = stmt->Next()) == EngineStatement::Row) {
        cells.clear();
        for (int i = 0; i < columns.size(); ++i) {
            const QString cell = stmt->Text(columns[i]);
            cells << (money[size_t(i)] ? Sql::Amount(cell) : cell);
        }
        if (!row(cells)) {
            step = EngineStatement::Done;
            break;
        }
    }
    if (step != EngineStatement::Done)
        *error = db->Error().text;
    return step == EngineStatement::Done;
}
