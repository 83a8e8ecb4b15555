#pragma once
// The engine's failures: as the engine states them, and as the shop reads them.
#include <QString>

struct sqlite3;

// The engine's extended result code and its own text of a failure.
struct EngineError {
    int code = 7; // SQLITE_NOMEM: what the engine reports when it has no connection to speak of
    QString text = QStringLiteral("out of memory");
};

// Failures of a database server that the file's engine has no code for; the server's other
// failures carry the file engine's code of the same meaning (busy, full, constraint).
namespace ServerFailure {
enum : int {
    Unreachable = 0x10001, // no server answers at the address
    Refused,               // the server refused the user or the password
    NoSuchDatabase,        // the server has no database of that name
    NotAShop,              // the database holds no shop
    Lost,                  // the connection broke off during the work
};
} // namespace ServerFailure

// The last failure on db. The engine sometimes keeps no error on the connection for a failed call
// (a backup step); then the text of rc, the call's own result, stands in for it.
EngineError ErrorOf(sqlite3* db, int rc = 0);

// Runs one or more statements whose rows are not wanted; on failure keeps the engine's error in
// *error, when one is given.
bool RunStatement(sqlite3* db, const char* sql, EngineError* error = nullptr);
// The same, keeping only the engine's text, for the tools' messages.
bool RunStatement(sqlite3* db, const char* sql, QString* errorText);

// The engine's failure as the shop reads it: what happened and what to do, in Chinese, with the
// engine's own text after it. extendedCode is sqlite3_extended_errcode's.
QString DescribeEngineError(int extendedCode, const QString& engineText);
QString DescribeEngineError(const EngineError& error);
