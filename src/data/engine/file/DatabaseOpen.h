#pragma once
// Opening the shop's file: the connection string, the key, and the handle that owns a connection.
#include "data/engine/EngineError.h"
#include "data/engine/ShopConnection.h"

#include <QByteArray>
#include <QString>
#include <memory>

struct sqlite3;

// Closes a connection. That fails only while one of its statements is not finalized, and every
// holder finalizes its statements before it lets go of the connection.
struct SqliteCloser {
    void operator()(sqlite3* db) const;
};
// The one owner of an open connection; the raw pointer is lent out with get().
using DatabaseHandle = std::unique_ptr<sqlite3, SqliteCloser>;

struct ConnectionSettings {
    QString dataSource;
    QByteArray password; // empty: a plain, unencrypted file
};
// How a file is opened. Every open is keyed and waits a while for a busy file.
struct OpenOptions {
    // Makes the file when it is missing; otherwise a missing file is reported, never made empty.
    // A new file has no salt yet and is keyed with the passphrase.
    bool create = false;
    // The key derived once per process for the file's salt; false runs the passphrase's derivation.
    bool cachedKey = true;
    // The program's own connections to the shop bring it to this program's schema; the tools' opens
    // (a backup's check, the restore's lock) read or change nothing of the file.
    bool upToDate = false;
    // Opens the file for reading only: no statement can change it (a source that is only copied).
    bool readOnly = false;
};

namespace DatabaseOpen {
ConnectionSettings ParseConnectionString(const QString& connectionString);

// Opens the file settings name; null with *error set on failure.
DatabaseHandle OpenKeyed(const ConnectionSettings& settings, const OpenOptions& options, EngineError* error);

// Opens an existing database file (never creates one), keyed and with a busy timeout, outside the
// pool of idle connections, as it is: nothing of the file is read or written. Returns null and
// sets *error to the engine's text on failure.
DatabaseHandle OpenDatabase(const ConnectionSettings& settings, QString* error);
// The program's own connection to the shop, like the pool's: brought up to date first
// (SchemaUpgrade::BringUpToDate); *failure is the failure as the shop reads it (DescribeEngineError).
DatabaseHandle OpenDatabaseDescribed(const ConnectionSettings& settings, QString* failure);
// Like OpenDatabase, but no statement can change the file.
DatabaseHandle OpenDatabaseReadOnly(const ConnectionSettings& settings, QString* error);
// Like OpenDatabase, but runs the passphrase's key derivation on every open instead of using the cached key.
DatabaseHandle OpenDatabaseWithPassphrase(const ConnectionSettings& settings, QString* error);
// Creates the file (or opens it if it exists) and keys it with the passphrase, outside the pool.
// The key is only written with the file's first page: an empty keyed file accepts any key.
DatabaseHandle CreateDatabase(const ConnectionSettings& settings, QString* error);
} // namespace DatabaseOpen
