#pragma once
// 导出 of a browse window: every row of the statement its grid shows, not only those fetched, with
// the visible columns under their headings, to a CSV file the user picks. The rows are written off
// the window's thread behind a progress dialog whose 取消 stops the export and leaves no file.
#include <QString>

class CAdodc;
class CDataGrid;
class QWidget;

namespace GridExport {
void Run(QWidget* parent, const CAdodc& adodc, const CDataGrid& grid, const QString& title);
} // namespace GridExport
