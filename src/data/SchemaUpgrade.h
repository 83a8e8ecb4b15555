#pragma once
// The shop's schema versions, and bringing an older file up to date. Needs only the engine: the
// opening of every connection of the program runs it.
#include "data/EngineError.h"

struct sqlite3;

namespace ShopDatabase {
// The version of the shop's schema that this program writes and reads: the file's user_version.
constexpr int kSchemaVersion = 5;

// Brings the file of a newly opened, keyed connection to kSchemaVersion, in one transaction that
// adds what lies beside the rows (indexes) and stores the operators' passwords as hashes; no other
// row is changed. A file of a newer version is
// refused and left as it is. On failure sets *error to the engine's code and the text to show.
bool BringUpToDate(sqlite3* db, EngineError* error);
} // namespace ShopDatabase
