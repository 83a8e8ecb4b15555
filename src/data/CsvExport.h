#pragma once
// Writes every row of a grid's statement to a CSV file that spreadsheet programs read: UTF-8 with a
// byte-order mark, the headings first, fields quoted as RFC 4180 says, lines ended by CR LF. The rows
// are stepped from the statement on a connection of the export's own, never all held at once; the
// file is written under a temporary name and put in place only when complete, so a cancel or a
// failure leaves an earlier file of that name as it was. Safe to run off the window's thread.
#include <QList>
#include <QString>
#include <functional>

namespace CsvExport {
struct Column {
    int index;       // in the statement's result
    QString heading; // as the grid shows it
};
enum class Result { Written, Cancelled, Failed };

// Told the rows written so far every thousand rows and at the end; false cancels.
using Progress = std::function<bool(qint64 rows)>;
// The shop's amounts (REAL columns) are written with two decimals, as the grids show them.
Result Write(const QString& sql, const QList<Column>& columns, const QString& path, const Progress& progress,
             qint64* rows, QString* error);

// One field as RFC 4180 wants it: quoted when it holds a quote, a comma, CR or LF, quotes doubled.
QString Field(const QString& text);
} // namespace CsvExport
