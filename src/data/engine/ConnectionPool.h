#pragma once
// Idle connections to the shop, kept per thread and keyed by the connection string, as if each
// operation opened one afresh.
#include "data/engine/Engine.h"

namespace ConnectionPool {
// An idle connection of this thread to the database connectionString names, or a new one brought
// up to date; null with *error set when it cannot be opened.
ConnectionHandle Take(const QString& connectionString, EngineError* error);
// Keeps db for the next Take. A connection that failed (not sound), or still holds a statement or a
// transaction, is closed instead.
void Give(ConnectionHandle db, const QString& connectionString, bool sound);
} // namespace ConnectionPool
