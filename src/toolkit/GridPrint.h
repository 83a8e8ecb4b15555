#pragma once
// 打印 of a browse window: every row of the statement its grid shows, with the visible columns
// under their headings on every page, the window's title, the date and the page number, shown in
// a print preview from which it goes to a printer or to a PDF file.
#include <QList>
#include <QString>
#include <functional>

class CAdodc;
class CDataGrid;
class QPrinter;
class QWidget;

namespace GridPrint {
struct Column {
    int index;       // in the statement's result
    QString heading; // as the grid shows it
    int width;       // on the screen: the page shares its width out in these proportions
    bool money;      // right-aligned
};
// Asked before each page after the first, with the pages painted so far; false ends the list on the
// page painted last, which then says that rows were left out.
using MorePages = std::function<bool(int pages)>;
// Paints every row onto the printer's pages; the number of pages, or -1 when the statement failed
// (*error says why). An empty list is one page with its headings.
int Render(QPrinter* printer, const QString& sql, const QList<Column>& columns, const QString& title,
           QString* error, const MorePages& more = {});
// The preview holds every page it shows: a longer list is shown and printed up to here.
constexpr int kMaxPreviewPages = 500;
// How many rows one page holds on this printer.
int RowsPerPage(QPrinter* printer);

// The print preview; while it lays out a long list, a progress dialog whose 取消 closes it.
void Preview(QWidget* parent, const CAdodc& adodc, const CDataGrid& grid, const QString& title,
             int maxPages = kMaxPreviewPages);
} // namespace GridPrint
