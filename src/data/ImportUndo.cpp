#include "data/ImportUndo.h"

#include "base/Clock.h"
#include "data/AuditTrail.h"
#include "data/ImportRows.h"
#include "data/Sql.h"

#include <QFileInfo>
#include <utility>
#include <vector>

namespace {
using namespace Import;

// The first row a query finds, as a refusal; Failed when it could not be read.
Lookup Finds(const QString& sql, const QString& refusalText, QString* refusal) {
    CAdoDb db;
    const CRecordset& rs = db.Query(sql);
    if (rs.Result() == Lookup::Found)
        *refusal = refusalText.arg(rs.GetText("v"));
    return rs.Result();
}

// Why the run cannot be undone now: a rental or a ledger row of its rows since; empty when none.
Lookup Since(What what, const CRecordset& run, QString* refusal) {
    const QString code = QLatin1String(Fields(what)[0].column);
    const QString mine =
        QStringLiteral("SELECT %1 AS v FROM %2 WHERE ID IN (SELECT RowID FROM ImportRow WHERE Run=%3")
            .arg(code, TableOf(what), run.GetText("ID"));
    const QString since = QStringLiteral(") AND %1 IN (SELECT %1 FROM %2 WHERE ID > %3)");
    const QString lastRecord = run.GetText("LastRecord");
    std::vector<std::pair<QString, QString>> checks;
    if (what == What::Films) {
        checks = {{mine + since.arg(code, QStringLiteral("Record"), lastRecord),
                   QStringLiteral("影片“%1”在导入之后已出租过,不能撤销这次导入。")},
                  {mine + QStringLiteral(
                              " AND Added=1) AND (FilmID IN (SELECT FilmID FROM Reservation) OR FilmID IN "
                              "(SELECT HeldFilmID FROM Reservation))"),
                   QStringLiteral("影片“%1”有预约,不能撤销这次导入。")}};
    } else {
        checks = {{mine + since.arg(code, QStringLiteral("Record"), lastRecord),
                   QStringLiteral("客户“%1”在导入之后已有租借记录,不能撤销这次导入。")},
                  {mine + since.arg(code, QStringLiteral("Ledger"), run.GetText("LastLedger")),
                   QStringLiteral("客户“%1”在导入之后已有账目,不能撤销这次导入。")},
                  {mine + QStringLiteral(" AND Added=1) AND ClientID IN (SELECT ClientID FROM Reservation)"),
                   QStringLiteral("客户“%1”有预约,不能撤销这次导入。")}};
    }
    for (const auto& [sql, text] : checks) {
        const Lookup found = Finds(sql, text, refusal);
        if (found != Lookup::Missing)
            return found;
    }
    return Lookup::Missing;
}

QString LastRunSql(What what) {
    return QStringLiteral("SELECT * FROM ImportRun WHERE What='%1' AND UndoneAt='' ORDER BY ID DESC")
        .arg(WhatName(what));
}
} // namespace

Lookup Import::LastRun(What what, Run* run) {
    CAdoDb db;
    const CRecordset& rs = db.Query(LastRunSql(what));
    if (rs.Result() == Lookup::Found)
        *run = Run{rs.GetText("ID").toLongLong(),
                   rs.GetText("At"),
                   rs.GetText("OptUser"),
                   rs.GetText("File"),
                   rs.GetInt("Added"),
                   rs.GetInt("Updated")};
    return rs.Result();
}

Outcome Import::Undo(What what, const QString& optUser, QString* refusal) {
    CTransaction undoing;
    CAdoDb db;
    const CRecordset& run = db.Query(LastRunSql(what));
    if (run.Result() == Lookup::Failed)
        return Outcome::Failed;
    if (run.Result() == Lookup::Missing) {
        *refusal = QStringLiteral("没有可以撤销的%1导入。").arg(WhatName(what));
        return Outcome::Refused;
    }
    const QString id = run.GetText("ID");
    const QString firstLedger = run.GetText("FirstLedger");
    const QString lastLedger = run.GetText("LastLedger");
    const QString file = run.GetText("File");
    const QString at = run.GetText("At");
    const Lookup since = Since(what, run, refusal);
    if (since != Lookup::Missing)
        return since == Lookup::Failed ? Outcome::Failed : Outcome::Refused;

    const QString table = TableOf(what);
    const QString keys =
        what == What::Films ? QStringLiteral("FilmKey WHERE Film") : QStringLiteral("ClientKey WHERE Client");
    const QString added =
        QStringLiteral(" IN (SELECT RowID FROM ImportRow WHERE Run=%1 AND Added=1)").arg(id);
    std::vector<std::pair<qint64, QString>> updated;
    bool ok = db.Execute(QStringLiteral("DELETE FROM ") + keys + added) &&
              db.Execute(QStringLiteral("DELETE FROM %1 WHERE ID").arg(table) + added) &&
              db.EachRow(
                  QStringLiteral("SELECT RowID, Image FROM ImportRow WHERE Run=%1 AND Added=0 ORDER BY RowID")
                      .arg(id),
                  [&updated](const EngineStatement& row) {
                      updated.emplace_back(row.Text(0).toLongLong(), row.Text(1));
                  });
    for (const auto& [row, before] : updated) {
        if (ok)
            ok = Rows::Restore(what, row, before);
    }
    // The client's opening money came in as the import's own ledger rows: they go with it.
    if (ok && firstLedger.toLongLong() > 0)
        ok = db.Execute(
            QStringLiteral("DELETE FROM Ledger WHERE ID >= %1 AND ID <= %2").arg(firstLedger, lastLedger));
    ok = ok &&
         db.Execute(QStringLiteral("UPDATE ImportRun SET UndoneAt='%1', UndoneBy='%2' WHERE ID=%3")
                        .arg(Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), Sql::Text(optUser),
                             id)) &&
         AuditTrail::Write(optUser, AuditTrail::kImportUndone, QFileInfo(file).fileName(),
                           QStringLiteral("%1: 导入于 %2; 文件 %3").arg(WhatName(what), at, file));
    return ok && undoing.Commit() ? Outcome::Done : Outcome::Failed;
}
