#pragma once
// 打印 of a browse window: every row of the statement its grid shows, with the visible columns
// under their headings on every page, each column as wide as its values need (PrintColumns), the
// window's title, the date and the page number, and lines the window adds under the rows; shown in
// a print preview from which it goes to a printer or to a PDF file.
#include "toolkit/PrintColumns.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class CAdodc;
class CDataGrid;
class QPainter;
class QPrinter;
class QRect;
class QWidget;

namespace GridPrint {
struct Column {
    int index;       // in the statement's result
    QString heading; // as the grid shows it
    int width;       // on the screen
    bool money;      // right-aligned
};
// Asked before each page after the first, with the pages painted so far; false ends the list on the
// page painted last, which then says that rows were left out.
using MorePages = std::function<bool(int pages)>;
// Painted on the first page between the title and the headings, in a band a third of the page
// high (a report's chart); the rows start under it.
using Above = std::function<void(QPainter& painter, const QRect& band)>;
// The font of the rows.
QFont Font();
// The visible columns of a window's grid, as its 打印 prints them.
QList<Column> Columns(const CAdodc& adodc, const CDataGrid& grid);

struct Layout {
    bool read = false; // false when the statement failed
    PrintColumns::Layout columns;
};
// The columns' widths on the printer's page for the rows of the statement.
Layout LayOut(QPrinter* printer, const QString& sql, const QList<Column>& columns, QString* error);

// Paints every row onto the printer's pages, and the notes under the last one; the number of
// pages, or -1 when the statement failed (*error says why). An empty list is one page with its
// headings.
int Render(QPrinter* printer, const QString& sql, const QList<Column>& columns, const QString& title,
           QString* error, const MorePages& more = {}, const QStringList& notes = {},
           const Above& above = {});
// The preview holds every page it shows: a longer list is shown and printed up to here.
constexpr int kMaxPreviewPages = 500;
// How many rows one page holds on this printer.
int RowsPerPage(QPrinter* printer);

// The print preview (CPrintPreview); while it lays out a long list, a progress dialog whose 取消
// closes it. The notes are printed under the rows.
void Preview(QWidget* parent, const CAdodc& adodc, const CDataGrid& grid, const QString& title,
             int maxPages = kMaxPreviewPages, const QStringList& notes = {}, const Above& above = {});
} // namespace GridPrint
