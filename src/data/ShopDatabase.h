#pragma once
// Preparing a new shop database, and bringing an older one up to date: the program itself never
// creates tables.
#include <QString>

struct sqlite3;

namespace ShopDatabase {
// The version of the shop's schema that this program writes and reads: the file's user_version.
constexpr int kSchemaVersion = 1;

// Writes a new, encrypted database at path from the shop's schema. Refuses to touch an existing
// file. The file appears only when complete (it is written under a temporary name first).
bool Prepare(const QString& path, QString* error);

// Brings the file of a newly opened, keyed connection to kSchemaVersion, in one transaction that
// adds only what lies beside the rows (indexes): no row is changed. A file of a newer version is
// refused and left as it is. On failure sets the engine's extended code and the text to show.
bool BringUpToDate(sqlite3* db, int* errorCode, QString* errorText);
} // namespace ShopDatabase
