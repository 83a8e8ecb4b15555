#include "data/engine/file/FileError.h"

#include <sqlite3.h>

EngineError::Code FileError::CodeOf(int resultCode) {
    if (resultCode == SQLITE_CONSTRAINT_UNIQUE || resultCode == SQLITE_CONSTRAINT_PRIMARYKEY)
        return EngineError::Unique;
    switch (resultCode & 0xff) {
    case SQLITE_OK:
        return EngineError::Ok;
    case SQLITE_NOMEM:
        return EngineError::OutOfMemory;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EngineError::Busy;
    case SQLITE_READONLY:
        return EngineError::ReadOnly;
    case SQLITE_FULL:
        return EngineError::Full;
    case SQLITE_CANTOPEN:
        return EngineError::CantOpen;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return EngineError::NotADatabase;
    case SQLITE_IOERR:
        return EngineError::IoError;
    case SQLITE_CONSTRAINT:
        return EngineError::Constraint;
    case SQLITE_INTERRUPT:
        return EngineError::Interrupted;
    default:
        return EngineError::Failed;
    }
}

EngineError FileError::OfCode(int resultCode) {
    return {CodeOf(resultCode), QString::fromUtf8(sqlite3_errstr(resultCode))};
}

EngineError FileError::Last(sqlite3* db, int rc) {
    if (!db)
        return {};
    if (sqlite3_errcode(db) == SQLITE_OK && rc != SQLITE_OK)
        return OfCode(rc);
    return {CodeOf(sqlite3_extended_errcode(db)), QString::fromUtf8(sqlite3_errmsg(db))};
}

bool FileError::Run(sqlite3* db, const char* sql, EngineError* error) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return true;
    if (error)
        *error = Last(db, rc);
    return false;
}

bool FileError::Run(sqlite3* db, const char* sql, QString* errorText) {
    EngineError error;
    if (Run(db, sql, &error))
        return true;
    *errorText = error.text;
    return false;
}
