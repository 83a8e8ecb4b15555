#pragma once
// Composing statement text from values, and reading values back from column text.
#include "data/RowKey.h"

#include <QDate>
#include <QString>

namespace Sql {
// A text value for the inside of '...': a single quote is carried by doubling it.
QString Text(const QString& value);
// A text value for the inside of '...' after LIKE, with % and _ taken literally (ESCAPE '\').
QString Like(const QString& value);
// The pattern after LIKE that finds the value anywhere in a column, as typed: '%value%' ESCAPE '\'.
QString Contains(const QString& value);
// A real as "%f" writes it, six decimals, of the shortest decimal that is this float.
QString Real(float value);
// An expression compared, grouped or sorted as plain text. The server's case-blind text folds the
// case of both sides of every comparison and of every value it hashes, which costs more than reading
// the rows; the file's engine keeps the expression's collation. For values with no letters whose
// case could differ (days, the ledger's kinds), or whose case a later step folds.
QString Plain(const QString& expression);
// A day as the date columns hold it: "2026-12-09".
QString Day(const QDate& day);
// An integer as "%d" writes it.
QString Int(int value);
// A row key in decimal; no key is NULL, which equals no row.
QString Key(RowKey key);

// The number at the start of a column's text, as atoi reads it (no digits gives 0).
int ToInt(const QString& text);
// The number at the start of a column's text, as atof reads it, in single precision.
float ToReal(const QString& text);

// A cell of an amount column as the lists show it: "45.00"; an empty cell stays empty.
QString Amount(const QString& text);
} // namespace Sql
