#pragma once
// The file engine's failures in the access layer's codes (EngineError), and the running of
// statements whose rows are not wanted on a bare connection.
#include "data/engine/EngineError.h"

struct sqlite3;

namespace FileError {
// The access layer's code of one of the engine's result codes (extended or primary).
EngineError::Code CodeOf(int resultCode);
// The failure resultCode stands for, with the engine's text of it.
EngineError OfCode(int resultCode);
// The last failure on db. The engine sometimes keeps no error on the connection for a failed call
// (a backup step); then the text of rc, the call's own result, stands in for it.
EngineError Last(sqlite3* db, int rc = 0);

// Runs one or more statements whose rows are not wanted; on failure keeps the engine's error in
// *error, when one is given.
bool Run(sqlite3* db, const char* sql, EngineError* error = nullptr);
// The same, keeping only the engine's text, for the tools' messages.
bool Run(sqlite3* db, const char* sql, QString* errorText);
} // namespace FileError
