#pragma once
// The file's summaries of its rows, kept in step with them by triggers in the same statement that
// writes a row, so that no path that writes a ledger row, a disc or a rental can leave them behind:
//  - LedgerDay: per day of the ledger's clock (the first ten characters of At), kind and operator,
//    the rows N and the sums of their amounts Fen, of the positive ones Plus and of the negative
//    ones Minus (as a positive number); a group without rows has no row;
//  - FilmKinds: per disc code (without letter case) and kind, the ledger's rows N of all time and
//    the sum of their amounts Fen; rows without a disc are not counted;
//  - TitleDiscs: per title (without letter case), the discs of that name in the catalogue, N;
//  - FilmLent and ClientLent: per disc code and per customer code (without letter case), the day
//    of the newest rental in Record, LastLent.
// The reports read them instead of every row of a long period (Reports.h).
namespace SchemaSummaries {
// The upgrade's statements: the tables, their rows from the ledger, the discs and the rentals, the
// triggers.
extern const char* const kFileUpgrade;
// Their rows written afresh from the ledger, the discs and the rentals (after a copy with the
// triggers off).
extern const char* const kFill;
} // namespace SchemaSummaries
