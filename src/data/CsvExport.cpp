#include "data/CsvExport.h"

#include "data/CAdoDb.h"
#include "data/SqlText.h"

#include <QSaveFile>
#include <cstdio>
#include <sqlite3.h>
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

    const DatabaseHandle db =
        OpenDatabase(ParseConnectionString(QString::fromUtf8(kConnectionString)), error);
    // The whole catalogue is looked up again and again by the rentals' join: a cache of 32 MB keeps
    // it in memory (a third of the time on a million rentals), still well under what a window holds.
    if (db)
        sqlite3_exec(db.get(), "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (!db ||
        sqlite3_prepare_v2(db.get(), text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        if (db)
            *error = QString::fromUtf8(sqlite3_errmsg(db.get()));
        file.cancelWriting();
        return Result::Failed;
    }
    std::vector<bool> money;
    for (const Column& column : columns) {
        money.push_back(Sql::IsAmount(stmt, column.index));
    }
    // Rows are composed as UTF-8 bytes straight from the engine's text: the bytes that need quoting
    // are ASCII and never part of a longer character.
    int rc = SQLITE_OK;
    bool cancelled = false;
    bool unwritten = false; // the disk is full, or the file could not be written for another reason
    QByteArray row;
    char amount[64];
    while (!cancelled && !unwritten && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        row.clear();
        for (int i = 0; i < columns.size(); ++i) {
            if (i > 0)
                row += ',';
            const int index = columns[i].index;
            const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
            const int size = sqlite3_column_bytes(stmt, index);
            if (money[size_t(i)] && size > 0) {
                row.append(amount,
                           std::snprintf(amount, sizeof amount, "%.2f", sqlite3_column_double(stmt, index)));
                continue;
            }
            const QByteArrayView cell(value ? value : "", value ? size : 0);
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
    const bool stepped = !unwritten && (cancelled || rc == SQLITE_DONE);
    if (unwritten)
        *error = QStringLiteral("写入文件失败(磁盘可能已满):") + file.errorString();
    else if (!stepped)
        *error = QString::fromUtf8(sqlite3_errmsg(db.get()));
    sqlite3_finalize(stmt);
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
