#include "data/CsvExport.h"

#include "data/CAdoDb.h"
#include "data/Sql.h"

#include <QSaveFile>
#include <cstdio>
#include <vector>

QString CsvExport::Field(const QString& text) {
    if (!text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char(',')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

CsvExport::Result CsvExport::Write(const QString& sql, const QList<Column>& columns, const QString& path,
                                   const Progress& progress, qint64* rows, QString* error) {
    *rows = 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("无法在这里建立文件:") + file.errorString();
        return Result::Failed;
    }
    const auto line = [&file](const QStringList& fields) {
        file.write((fields.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8());
    };
    file.write("\xEF\xBB\xBF");
    QStringList headings;
    for (const Column& column : columns)
        headings << Field(column.heading);
    line(headings);

    EngineError failure;
    const ConnectionHandle db = Engine::Open(ShopConnection::Current(), &failure);
    if (db) {
        db->PrepareForScan();
        db->SetRowsOnDemand(true);
    }
    bool prepared = false;
    const std::unique_ptr<EngineStatement> stmt = db ? db->Prepare(sql, &prepared) : nullptr;
    if (!stmt) {
        *error = db ? db->Error().text : failure.text;
        file.cancelWriting();
        return Result::Failed;
    }
    std::vector<bool> money;
    for (const Column& column : columns) {
        money.push_back(stmt->IsAmount(column.index));
    }
    // Rows are composed as UTF-8 bytes straight from the engine's text: the bytes that need quoting
    // are ASCII and never part of a longer character.
    EngineStatement::Step step = EngineStatement::Done;
    bool cancelled = false;
    bool unwritten = false; // the disk is full, or the file could not be written for another reason
    QByteArray row;
    char amount[64];
    while (!cancelled && !unwritten && (step = stmt->Next()) == EngineStatement::Row) {
        row.clear();
        for (int i = 0; i < columns.size(); ++i) {
            if (i > 0)
                row += ',';
            const int index = columns[i].index;
            const QByteArrayView cell = stmt->Bytes(index);
            if (money[size_t(i)] && !cell.isEmpty()) {
                row.append(amount, std::snprintf(amount, sizeof amount, "%.2f", stmt->Real(index)));
                continue;
            }
            if (cell.contains('"') || cell.contains(',') || cell.contains('\n') || cell.contains('\r')) {
                row += '"';
                for (const char c : cell) {
                    if (c == '"')
                        row += '"';
                    row += c;
                }
                row += '"';
            } else {
                row += cell;
            }
        }
        row += "\r\n";
        if (file.write(row) != row.size()) {
            unwritten = true;
            break;
        }
        if (++*rows % 1000 == 0 && progress && !progress(*rows))
            cancelled = true;
    }
    const bool stepped = !unwritten && (cancelled || step == EngineStatement::Done);
    if (unwritten)
        *error = QStringLiteral("写入文件失败(磁盘可能已满):") + file.errorString();
    else if (!stepped)
        *error = db->Error().text;
    if (!cancelled && stepped && progress && !progress(*rows))
        cancelled = true;
    if (cancelled || !stepped) {
        file.cancelWriting();
        file.commit();
        return cancelled ? Result::Cancelled : Result::Failed;
    }
    if (!file.commit()) {
        *error = QStringLiteral("写入文件失败(磁盘可能已满):") + file.errorString();
        return Result::Failed;
    }
    return Result::Written;
}
