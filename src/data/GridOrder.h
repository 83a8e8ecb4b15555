#pragma once
// The statements of a grid sorted by a click on a heading: the window's own statement with the
// column clicked put first in its ORDER BY, and the statement's own order after it for equal values:
// as it is when descending, turned round when ascending, so that one way is the other read
// backwards (and an index of the column, which holds the row's ID, serves both). The statement is
// never changed otherwise.
#include <QString>
#include <Qt>

namespace GridOrder {
// False for a statement whose rows cannot be put in another order: one of several SELECTs joined
// (its last row is a total), or one whose text this cannot read.
bool CanSort(const QString& statement);
// The statement ordered by its result column column (0-based) first; the statement as it is when
// it cannot be sorted or column is negative.
QString Sorted(const QString& statement, int column, Qt::SortOrder order);
} // namespace GridOrder
