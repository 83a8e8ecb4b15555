#pragma once
// Preparing a new shop database: the program itself never creates tables. The schema's versions
// and the upgrade of an older file are engine/'s.
#include "data/engine/SchemaVersion.h"

#include <QString>

struct sqlite3;

namespace ShopDatabase {
// Writes a new, encrypted database at path from the shop's schema. Refuses to touch an existing
// file. The file appears only when complete (it is written under a temporary name first).
bool Prepare(const QString& path, QString* error);
// Writes the shop's tables, first rows and indexes, at this program's version, into the new, empty
// file db has open (in WAL mode already), inside the write transaction the caller holds: the file
// holds a shop only once that commits.
bool WriteSchema(sqlite3* db, QString* error);
} // namespace ShopDatabase
