#pragma once
// Preparing a new shop database: the program itself never creates tables. The schema's versions
// and the upgrade of an older file are engine/'s.
#include "data/engine/SchemaVersion.h"

#include <QString>

namespace ShopDatabase {
// Writes a new, encrypted database at path from the shop's schema. Refuses to touch an existing
// file. The file appears only when complete (it is written under a temporary name first).
bool Prepare(const QString& path, QString* error);
} // namespace ShopDatabase
