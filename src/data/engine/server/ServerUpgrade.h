#pragma once
// Bringing a shop database on a server of an earlier version up to this program's schema, as the
// file's opening brings an older file (engine/file/SchemaUpgrade.h).
#include "data/engine/server/ServerConnection.h"

namespace ServerEngine {
// The earliest version a server's shop is brought up from; an older one is refused.
inline constexpr int kFirstUpgradable = 4;

// Brings the shop connection holds, found at version `found` (kFirstUpgradable or later, below
// Schema::kVersion), to Schema::kVersion in one transaction under the shop's write lock: what lies
// beside the rows (indexes) only, no row changed. Another desk that upgrades at the same time waits
// for the lock and then finds the work done. False with *error set when it failed; nothing changed.
bool BringUpToDate(ServerConnection& connection, int found, EngineError* error);
} // namespace ServerEngine
