#pragma once
// The server's summaries of the ledger's days, of each disc's ledger, of each title's discs and of
// each disc's and customer's newest rental, as the file keeps them
// (data/engine/file/SchemaSummaries.h): the same tables, kept in step by triggers in the statement
// that writes a row.
namespace ServerEngine {
// The tables, their rows written afresh from the ledger, the discs and the rentals, the trigger
// functions and the triggers; run after the rows are in (a new shop, the move onto a server, the
// upgrade).
extern const char* const kSummaries;
} // namespace ServerEngine
