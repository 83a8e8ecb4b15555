#pragma once
// The width a grid's column needs for what it shows: its heading whole (with room for the sort
// arrow) and its cells as far as the rows read so far go, within a most for long texts.
#include <QtGlobal>

class CAdodc;
class QTableView;

namespace ColumnFit {
// The most a column gets from its content, in Chinese characters of the cells' font; a longer
// text shows its start and the whole of it as tool tip.
constexpr int kMostCharacters = 24;

// Pixels for the heading of column, and for its longest cell among the rows of the first fetch (-1
// with no rows: nothing to measure); never more than kMostCharacters.
int Heading(const QTableView& grid, int column);
int Content(const QTableView& grid, const CAdodc& adodc, int column);
} // namespace ColumnFit
