#pragma once
// Every row of a statement, stepped on a connection of the pool's and handed on one at a time, a
// few rows read from the engine at a time (a server computes only the rows asked for): the one
// reader of whole results, for the exports, the printouts and the lookups that gather codes.
#include "data/engine/Engine.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace RowStream {
// What the rows are for: a long scan (an export of the whole table) gives the file's engine a
// larger page cache first.
enum class Reading { Short, Scan };

// Calls row at each row with the statement, whose cells stay valid until it returns; false from it
// stops. False when the statement failed (*error says why).
bool Each(const QString& sql, const std::function<bool(const EngineStatement& row)>& row, QString* error,
          Reading reading = Reading::Short);
// The same with the cells of these result columns as the grids show them (amounts to the cent).
bool Each(const QString& sql, const QList<int>& columns,
          const std::function<bool(const QStringList& cells)>& row, QString* error);
} // namespace RowStream
