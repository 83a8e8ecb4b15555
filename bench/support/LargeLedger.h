#pragma once
// The ledger of the large shop: the money of its last three years of rentals, as the desks write it
// (the lending's charge, a per-day rental's deposit taken and handed back), and top-ups at the
// counter up to the number of rows asked for; in the order of the clock, as a shop writes it.
#include <QString>

struct sqlite3;

namespace LargeLedger {
// The ledger's first and last day.
inline constexpr const char* kFirstDay = "2022-01-01";
inline constexpr const char* kLastDay = "2024-12-31";

// Fills the empty Ledger table of an open large shop with about rows rows (at least those the rentals
// give). False with *error on failure.
bool Write(sqlite3* db, int rows, QString* error);
} // namespace LargeLedger
