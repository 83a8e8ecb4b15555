#include "data/CsvExport.h"

#include "data/RowStream.h"
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

namespace {
// A cell's bytes as a CSV field: quoted, with its quotes doubled, when it holds a quote, a comma or
// a line break.
void AppendField(QByteArrayView cell, QByteArray* row) {
    if (!cell.contains('"') && !cell.contains(',') && !cell.contains('\n') && !cell.contains('\r')) {
        *row += cell;
        return;
    }
    *row += '"';
    for (const char c : cell) {
        if (c == '"')
            *row += '"';
        *row += c;
    }
    *row += '"';
}
} // namespace

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

    // Rows are composed as UTF-8 bytes straight from the engine's text: the bytes that need quoting
    // are ASCII and never part of a longer character.
    std::vector<bool> money;
    bool cancelled = false;
    bool unwritten = false; // the disk is full, or the file could not be written for another reason
    QByteArray row;
    char amount[64];
    QString failure;
    const bool read = RowStream::Each(
        sql,
        [&](const EngineStatement& stmt) {
            if (money.empty()) {
                for (const Column& column : columns)
                    money.push_back(stmt.IsAmount(column.index));
            }
            row.clear();
            for (int i = 0; i < columns.size(); ++i) {
                if (i > 0)
                    row += ',';
                const int index = columns[i].index;
                const QByteArrayView cell = stmt.Bytes(index);
                if (money[size_t(i)] && !cell.isEmpty())
                    row.append(amount, std::snprintf(amount, sizeof amount, "%.2f", stmt.Real(index)));
                else
                    AppendField(cell, &row);
            }
            row += "\r\n";
            if (file.write(row) != row.size()) {
                unwritten = true;
                return false;
            }
            if (++*rows % 1000 == 0 && progress && !progress(*rows))
                cancelled = true;
            return !cancelled;
        },
        &failure, RowStream::Reading::Scan);
    const bool stepped = !unwritten && read;
    if (unwritten)
        *error = QStringLiteral("写入文件失败(磁盘可能已满):") + file.errorString();
    else if (!stepped)
        *error = failure;
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
