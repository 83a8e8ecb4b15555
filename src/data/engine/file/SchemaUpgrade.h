#pragma once
// Bringing an older shop file up to this program's schema (Schema::kVersion). Needs only the
// engine: the opening of every connection of the program runs it.
#include "data/engine/EngineError.h"
#include "data/engine/SchemaVersion.h"

struct sqlite3;

namespace SchemaUpgrade {
// Brings the file of a newly opened, keyed connection to Schema::kVersion, in one transaction that
// adds what lies beside the rows (indexes) and stores the operators' passwords as hashes; no other
// row is changed. A file of a newer version is refused and left as it is. On failure sets *error
// to the failure and the text to show.
bool BringUpToDate(sqlite3* db, EngineError* error);
} // namespace SchemaUpgrade
