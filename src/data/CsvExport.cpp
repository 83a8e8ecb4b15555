#include "data/CsvExport.h"

#include "data/CAdoDb.h"

#include <QSaveFile>
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
        *error = file.errorString();
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
        const char* type = sqlite3_column_decltype(stmt, column.index);
        money.push_back(type && qstricmp(type, "REAL") == 0);
    }
    int rc = SQLITE_OK;
    bool cancelled = false;
    QStringList fields;
    while (!cancelled && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        fields.clear();
        for (int i = 0; i < columns.size(); ++i) {
            const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, columns[i].index));
            const QString cell = QString::fromUtf8(value ? value : "");
            fields << (money[size_t(i)] && !cell.isEmpty() ? QString::asprintf("%.2f", cell.toDouble())
                                                           : Field(cell));
        }
        line(fields);
        if (++*rows % 1000 == 0 && progress && !progress(*rows))
            cancelled = true;
    }
    const bool stepped = cancelled || rc == SQLITE_DONE;
    if (!stepped)
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
        *error = file.errorString();
        return Result::Failed;
    }
    return Result::Written;
}
