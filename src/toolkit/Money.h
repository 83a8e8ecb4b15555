#pragma once
// Money as the shop reads it, on screen and on paper: two decimals and " 元".
#include <QString>

namespace Money {
// "70.00 元".
QString Text(float amount);
// The same for an amount in whole fen, as the ledger keeps it.
QString FromFen(qint64 fen);
} // namespace Money
