#include "toolkit/ColumnFit.h"

#include "data/CAdodc.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>

namespace {
int Most(const QTableView& grid) {
    return ColumnFit::kMostCharacters * grid.fontMetrics().horizontalAdvance(QChar(0x4E2D)); // 中
}
} // namespace

int ColumnFit::Heading(const QTableView& grid, int column) {
    const QHeaderView* header = grid.horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QString text =
        grid.model() ? grid.model()->headerData(column, Qt::Horizontal).toString() : QString();
    // The arrow of a sorted column sits beside the heading: room for it on every column, so that
    // sorting moves nothing.
    const int arrow = header->isSortIndicatorShown() ? header->fontMetrics().height() + margin : 0;
    return std::min(header->fontMetrics().horizontalAdvance(text) + 2 * margin + arrow, Most(grid));
}

int ColumnFit::Content(const QTableView& grid, const CAdodc& adodc, int column) {
    // The first screens: what a refresh reads, however far the user has scrolled since.
    const int rows = std::min(adodc.rowCount(), int(CAdodc::kFetchRows));
    if (rows == 0)
        return -1;
    const QFontMetrics metrics = grid.fontMetrics();
    const int most = Most(grid);
    int widest = -1;
    int widestRow = 0;
    for (int row = 0; row < rows && widest < most; ++row) {
        const int width = metrics.horizontalAdvance(adodc.data(adodc.index(row, column)).toString());
        if (width > widest) {
            widest = width;
            widestRow = row;
        }
    }
    // The widest cell as the grid's delegate draws it, margins and all, and the grid line.
    QStyleOptionViewItem option;
    option.initFrom(&grid);
    option.font = grid.font();
    option.fontMetrics = metrics;
    const int cell = grid.itemDelegate()->sizeHint(option, adodc.index(widestRow, column)).width();
    const int margins = cell - std::min(widest, cell);
    return std::min(widest, most) + margins + (grid.showGrid() ? 1 : 0);
}
