#include "data/ImportWrite.h"

#include "base/Clock.h"
#include "data/AuditTrail.h"
#include "data/CAdoDb.h"
#include "data/CLedgerInfo.h"
#include "data/ImportRows.h"
#include "data/PinyinKeys.h"
#include "data/Sql.h"

#include <QFileInfo>
#include <QHash>

namespace {
using namespace Import;

// Rows per INSERT of new films or clients, and between two reports of progress.
constexpr int kBatch = 500;

struct Writer {
    const Plan& plan;
    const Progress& progress;
    const QString& optUser;
    QString* refusal;
    qint64 run = 0;
    int done = 0;
    bool cancelled = false;

    bool Tell() {
        if (progress && !progress(done, plan.Accepted()))
            cancelled = true;
        return !cancelled;
    }

    // A batch of new rows: none of their codes may be in the shop now, in any letter case.
    bool AddBatch(const QList<const PlannedRow*>& batch) {
        const QString table = TableOf(plan.what);
        const QString code = QLatin1String(Fields(plan.what)[0].column);
        QStringList codes;
        QStringList values;
        QHash<QString, const PlannedRow*> byCode;
        for (const PlannedRow* row : batch) {
            codes << QLatin1Char('\'') + Sql::Text(row->values[0]) + QLatin1Char('\'');
            values << QLatin1Char('(') + Rows::NewValues(plan.what, row->values) + QLatin1Char(')');
            byCode.insert(Folded(row->values[0]), row);
        }
        CAdoDb db;
        const CRecordset& taken = db.Query(QStringLiteral("SELECT %1 FROM %2 WHERE %1 IN (%3)")
                                               .arg(code, table, codes.join(QLatin1Char(','))));
        if (taken.Result() == Lookup::Failed)
            return false;
        if (taken.Result() == Lookup::Found) {
            *refusal = QStringLiteral(
                           "编号“%1”已在店里(试运行之后由另一处加入)。导入没有写入任何内容,请重新试运行。")
                           .arg(taken.GetText(code.toLatin1().constData()));
            return false;
        }
        const QString last =
            db.Query(QStringLiteral("SELECT IFNULL(MAX(ID),0) AS v FROM ") + table).GetText("v");
        if (!db.Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, Rows::Columns(plan.what)) +
                        values.join(QLatin1Char(','))))
            return false;
        QList<SearchKeys::Source> keys;
        QList<const PlannedRow*> added;
        if (!db.EachRow(
                QStringLiteral("SELECT ID, %1 FROM %2 WHERE ID > %3 ORDER BY ID").arg(code, table, last),
                [&](const EngineStatement& row) {
                    const PlannedRow* planned = byCode.value(Folded(row.Text(1)));
                    if (!planned)
                        return;
                    keys << Rows::KeySource(plan.what, row.Text(0).toLongLong(), planned->values);
                    added << planned;
                }))
            return false;
        const bool keyed =
            plan.what == What::Films ? PinyinKeys::AddFilms(keys) : PinyinKeys::AddClients(keys);
        if (!keyed || !db.Execute(QStringLiteral("INSERT INTO ImportRow (Run, RowID, Added) SELECT %1, ID, 1 "
                                                 "FROM %2 WHERE ID > %3")
                                      .arg(run)
                                      .arg(table, last)))
            return false;
        for (qsizetype i = 0; i < added.size() && plan.what == What::Clients; ++i) {
            if (!Rows::Money(added[i]->values, 0, 0, optUser))
                return false;
        }
        done += int(batch.size());
        return Tell();
    }

    bool AddNew() {
        QList<const PlannedRow*> batch;
        for (const PlannedRow& row : plan.rows) {
            if (row.fate != Fate::New)
                continue;
            batch << &row;
            if (batch.size() == kBatch && !AddBatch(batch))
                return false;
            if (batch.size() == kBatch)
                batch.clear();
        }
        return batch.isEmpty() || AddBatch(batch);
    }

    bool UpdateExisting() {
        for (const PlannedRow& row : plan.rows) {
            if (row.fate != Fate::Update)
                continue;
            if (!Rows::Update(plan.what, run, row.values, optUser, refusal))
                return false;
            if (++done % kBatch == 0 && !Tell())
                return false;
        }
        return Tell();
    }
};

// The import's row of the audit trail, in the import's transaction: the file, what came in.
bool RecordInTrail(const Plan& plan, const QString& fileName, const QString& optUser) {
    return AuditTrail::Write(optUser, AuditTrail::kImport, QFileInfo(fileName).fileName(),
                             QStringLiteral("%1: 新增 %2, 更新 %3; 文件 %4")
                                 .arg(WhatName(plan.what))
                                 .arg(plan.Count(Fate::New))
                                 .arg(plan.Count(Fate::Update))
                                 .arg(fileName));
}
} // namespace

Outcome Import::Write(const Plan& plan, const QString& fileName, const QString& optUser,
                      const Progress& progress, QString* refusal) {
    Writer writer{plan, progress, optUser, refusal};
    CTransaction writing;
    CAdoDb db;
    const QString lastRecord =
        db.Query(QStringLiteral("SELECT IFNULL(MAX(ID),0) AS v FROM Record")).GetText("v");
    const QString ledgerBefore =
        db.Query(QStringLiteral("SELECT IFNULL(MAX(ID),0) AS v FROM Ledger")).GetText("v");
    if (!db.Execute(
            QStringLiteral(
                "INSERT INTO ImportRun (At,OptUser,What,File,LastRecord) VALUES('%1','%2','%3','%4',%5)")
                .arg(Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), Sql::Text(optUser),
                     WhatName(plan.what), Sql::Text(fileName), Sql::Int(lastRecord.toInt()))))
        return Outcome::Failed;
    // The new rows go into a dozen indexes: a larger page cache keeps them from being read again and
    // again (the file's engine; a server has its own).
    if (!Engine::IsServer(ShopConnection::Current()) &&
        !db.Execute(QStringLiteral("PRAGMA cache_size = -32768")))
        return Outcome::Failed;
    writer.run = db.Query(QStringLiteral("SELECT MAX(ID) AS v FROM ImportRun")).GetText("v").toLongLong();
    if (!writer.Tell() || !writer.AddNew() || !writer.UpdateExisting())
        return writer.cancelled     ? Outcome::Cancelled
               : refusal->isEmpty() ? Outcome::Failed
                                    : Outcome::Refused;
    const QString ledgerAfter =
        db.Query(QStringLiteral("SELECT IFNULL(MAX(ID),0) AS v FROM Ledger")).GetText("v");
    const bool wroteLedger = ledgerAfter.toLongLong() > ledgerBefore.toLongLong();
    const bool ok =
        db.Execute(QStringLiteral("UPDATE ImportRun SET Added=%1, Updated=%2, FirstLedger=%3, LastLedger=%4 "
                                  "WHERE ID=%5")
                       .arg(plan.Count(Fate::New))
                       .arg(plan.Count(Fate::Update))
                       .arg(wroteLedger ? ledgerBefore.toLongLong() + 1 : 0)
                       .arg(ledgerAfter.toLongLong())
                       .arg(writer.run)) &&
        RecordInTrail(plan, fileName, optUser);
    return ok && writing.Commit() ? Outcome::Done : Outcome::Failed;
}
