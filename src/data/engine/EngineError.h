#pragma once
// The engines' failures: what went wrong in codes of the access layer's own, with the engine's own
// text; and the failure as the shop reads it.
#include <QString>

struct EngineError {
    enum Code : int {
        Ok = 0,
        Failed,         // any failure the shop has no words of its own for (a statement's error)
        OutOfMemory,    // also what is reported when there is no connection to speak of
        Busy,           // another desk or program holds the lock
        ReadOnly,       // the database takes no writes
        Full,           // the disk is full
        CantOpen,       // the file is missing or cannot be opened
        NotADatabase,   // a wrong key, a damaged file, a file that is not a database
        IoError,        // reading or writing the file failed
        Constraint,     // a row refused by a check of the schema
        Unique,         // a row refused because its key is taken
        Interrupted,    // the work was stopped on request
        Unreachable,    // no server answers at the address
        Refused,        // the server refused the user or the password
        NoSuchDatabase, // the server has no database of that name
        NotAShop,       // the database holds no shop of this program's schema
        Lost,           // the connection to the server broke off during the work
    };
    Code code = OutOfMemory;
    QString text = QStringLiteral("out of memory");

    // The failure as the shop reads it: what happened and what to do, in Chinese, with the
    // engine's own text after it.
    static QString Describe(const EngineError& error);
};
