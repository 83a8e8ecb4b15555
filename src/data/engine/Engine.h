#pragma once
// The two engines behind the access layer: the shop file (SQLCipher) and a shop database on a
// PostgreSQL server, chosen by the connection string. A connection runs one statement at a time and
// steps its rows as the file's engine writes them as text; the access layer, the pool, the browse
// windows' data control and the exports know no more of an engine than this.
#include "data/engine/EngineError.h"

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <memory>

// One statement and its rows, the current row's cells read by column. It ends (and lets its
// connection run the next) when it is destroyed; it never outlives its connection.
class EngineStatement {
public:
    enum Step { Row, Done, Failed, Interrupted };

    virtual ~EngineStatement() = default;
    // Steps to the next row. Failed leaves the reason with the connection's Error().
    virtual Step Next() = 0;
    virtual int Columns() const = 0;
    // The column's name as the statement wrote it.
    virtual QString Name(int column) const = 0;
    // The current row's cell as UTF-8 text, written as the file's engine writes it (a real as
    // "30.0", a truth as 1 or 0); empty for NULL. Valid until the next step.
    virtual QByteArrayView Bytes(int column) const = 0;
    QString Text(int column) const { return QString::fromUtf8(Bytes(column)); }
    virtual double Real(int column) const = 0;
    // The shop's amounts: its REAL columns as stored, and the computed columns named "…(元)".
    virtual bool IsAmount(int column) const = 0;
};

class EngineConnection {
public:
    virtual ~EngineConnection() = default;
    // Starts sql; null when it failed (*ok false, the reason is Error()), or when the text holds no
    // statement (*ok true).
    virtual std::unique_ptr<EngineStatement> Prepare(const QString& sql, bool* ok) = 0;
    // Runs statements whose rows are not wanted.
    virtual bool Run(const char* sql) = 0;
    // Begins a transaction that holds the shop's write lock until it ends: no other desk writes
    // between its statements, and every read in it sees what it will write back over.
    virtual bool BeginWrite() = 0;
    // The last failure, as the engine stated it.
    virtual EngineError Error() const = 0;
    // No transaction open and no statement pending: the connection may wait in the pool.
    virtual bool IsIdle() const = 0;
    // Still a sound connection to the database connectionString names now: a file deleted or put
    // in place of the old one, or a server that closed the connection, makes it stale.
    virtual bool IsCurrent(const QString& connectionString) const = 0;
    // How long a write waits for another desk's before it fails as busy (5 s unless set).
    virtual void SetBusyTimeout(int ms) = 0;
    // Asked every so often while a statement works, with no argument; true interrupts it (its step
    // then returns Interrupted, and the connection stays sound). Null stops asking.
    virtual void SetProgressHandler(std::function<bool()> handler) = 0;
    // Rows read a few at a time, as the views scroll (a browse, an export): a server then computes
    // only the rows asked for, in a read-only transaction of the statement's own, as the file's
    // engine steps only the rows read. Nothing changes on the file.
    virtual void SetRowsOnDemand(bool) {}
    // Runs SQL the file's engine would take for a large scan (a bigger page cache); nothing on a
    // server, which has its own.
    virtual void PrepareForScan() {}
};
using ConnectionHandle = std::unique_ptr<EngineConnection>;

namespace Engine {
// True when the connection string names a database server rather than the shop file.
bool IsServer(const QString& connectionString);
// A new connection to the database connectionString names, brought up to this program's schema
// (the file) or checked to hold this program's shop (a server); null with *error set on failure.
ConnectionHandle Open(const QString& connectionString, EngineError* error);
// Open's two ways, one for each engine.
ConnectionHandle OpenFile(const QString& connectionString, EngineError* error);
ConnectionHandle OpenServer(const QString& connectionString, EngineError* error);
} // namespace Engine
