#pragma once
// Every row of a grid's statement, stepped on a connection of its own and handed on one at a time,
// the cells as the grids show them (amounts to the cent): for printing lists of any length.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace RowStream {
// Calls row for each row with the cells of these result columns; false from it stops. False when
// the statement failed (*error says why).
bool Each(const QString& sql, const QList<int>& columns,
          const std::function<bool(const QStringList& cells)>& row, QString* error);
} // namespace RowStream
