#pragma once
// The shop's schema versions, and bringing an older file up to date. Needs only the engine: the
// opening of every connection of the program runs it.
#include "data/EngineError.h"

#include <QStringList>

struct sqlite3;

namespace ShopDatabase {
// The version of the shop's schema that this program writes and reads: the file's user_version.
constexpr int kSchemaVersion = 4;

// Brings the file of a newly opened, keyed connection to kSchemaVersion, in one transaction that
// adds what lies beside the rows (indexes) and stores the operators' passwords as hashes; no other
// row is changed. A file of a newer version is
// refused and left as it is. On failure sets *error to the engine's code and the text to show.
bool BringUpToDate(sqlite3* db, EngineError* error);
// The same steps from version `from`, inside the write transaction the caller holds (a new file
// written whole in one transaction); the caller commits or rolls back.
bool UpgradeWithin(sqlite3* db, int from, EngineError* error);
// The tables a shop file of this version holds (0 to kSchemaVersion).
QStringList TablesOf(int version);
} // namespace ShopDatabase
