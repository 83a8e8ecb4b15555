#pragma once
// The PostgreSQL engine's connection and statement, through libpq: what its opening (EngineServer.cpp)
// hands to the access layer. Only the server's engine includes this.
#include "data/engine/Engine.h"

#include <QStringList>
#include <libpq-fe.h>
#include <vector>

namespace ServerEngine {
// The shop's write lock: one advisory lock of the database, held to the end of a transaction.
inline constexpr const char* kBeginWrite = "BEGIN; SELECT pg_advisory_xact_lock(5660830218592)";
// How long a desk waits for another's write before it gives up, as the file's busy timeout; and no
// compiling of statements to machine code, which costs a counter's short statements far more than
// it saves (a tenth of a second before the first row of the list of rentals out); and room to group
// and sort a report's hundred thousand rows in memory, which the default 4 MB sent to the disk.
inline constexpr const char* kSessionSettings =
    "SET lock_timeout = 5000; SET jit = off; SET work_mem = '16MB'";
// Between two questions to the progress handler while the server works.
inline constexpr int kProgressPollMs = 50;
// Rows of an unfinished result read to its end when its statement goes; a longer one is cancelled.
inline constexpr int kDrainRows = 1000;
// A statement whose rows are read on demand runs as a cursor, read some rows at a time: the server
// computes only the rows asked for, as the file's engine steps only the rows read. As many as the
// browse model asks for at once (a screen of the tallest grid). The server sends a fetch's rows
// when the fetch is complete: a failure in it brings none of them.
inline constexpr int kCursorRows = 64;
inline constexpr const char* kDeclare = "BEGIN READ ONLY; DECLARE vorix_rows NO SCROLL CURSOR FOR ";
inline const QByteArray kFetch = "FETCH FORWARD " + QByteArray::number(kCursorRows) + " FROM vorix_rows";

// The transaction a statement runs in of its own, when it is not inside one.
enum class Own { None, Write, Cursor };

// The server's types whose text the file's engine writes otherwise.
inline constexpr Oid kBool = 16;
inline constexpr Oid kFloat4 = 700;
inline constexpr Oid kFloat8 = 701;
inline constexpr Oid kNumeric = 1700;

// The access layer's code of a server's SQLSTATE.
EngineError::Code CodeOf(const char* state);

class ServerConnection;

class ServerStatement : public EngineStatement {
public:
    ServerStatement(ServerConnection* connection, PGresult* first, const QString& sql, Own own);
    ~ServerStatement() override;
    ServerStatement(const ServerStatement&) = delete;
    ServerStatement& operator=(const ServerStatement&) = delete;

    Step Next() override;
    int Columns() const override { return int(m_names.size()); }
    QString Name(int column) const override { return m_names.value(column); }
    QByteArrayView Bytes(int column) const override {
        if (!m_row || column < 0 || column >= Columns() || PQgetisnull(m_row, 0, column))
            return {};
        if (!m_cells[size_t(column)].isNull())
            return m_cells[size_t(column)];
        return {PQgetvalue(m_row, 0, column), PQgetlength(m_row, 0, column)};
    }
    double Real(int column) const override { return Bytes(column).toByteArray().toDouble(); }
    bool IsAmount(int column) const override {
        return column >= 0 && column < Columns() && m_amount[size_t(column)];
    }

private:
    // Ends the statement's transaction of its own, if it has one; false when the commit failed.
    bool EndOwn(bool commit);
    void ReadRow();

    ServerConnection* m_connection;
    PGresult* m_next; // the first result, read when the statement started
    PGresult* m_row = nullptr;
    QStringList m_names;
    std::vector<Oid> m_types;
    std::vector<bool> m_amount;
    std::vector<QByteArray> m_cells; // the current row's cells written as the file writes them
    bool m_finished = false;
    // A write outside a transaction, in a transaction of its own that takes the lock; or a read on
    // demand, in a read-only transaction of its own that holds its cursor.
    Own m_own;
    int m_batchRows = 0; // of the cursor's current fetch
};

class ServerConnection : public EngineConnection {
public:
    explicit ServerConnection(PGconn* db) : m_db(db) {}
    ~ServerConnection() override { PQfinish(m_db); }
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    std::unique_ptr<EngineStatement> Prepare(const QString& sql, bool* ok) override;

    // Sends one statement whose rows come one at a time, and waits for its first result.
    PGresult* Send(const QByteArray& sql);
    PGresult* FetchMore() { return Send(kFetch); }

    bool Run(const char* sql) override;
    bool BeginWrite() override { return Run(kBeginWrite); }
    EngineError Error() const override { return m_error; }
    bool IsIdle() const override { return m_active == 0 && PQtransactionStatus(m_db) == PQTRANS_IDLE; }
    bool IsCurrent(const QString&) const override;
    void SetBusyTimeout(int ms) override;
    void SetProgressHandler(std::function<bool()> handler) override { m_progress = std::move(handler); }
    void SetRowsOnDemand(bool onDemand) override { m_onDemand = onDemand; }

    // The next result of the statement at work; null at its end. With a progress handler, the wait
    // asks it every so often, and cancels the statement when it says so.
    PGresult* Wait();
    // Reads the results still to come of the statement at work, to make the connection free again;
    // after cancelAfter rows the statement is cancelled rather than sent in full.
    void Drain(int cancelAfter = -1);
    void Cancel();
    // Keeps the failure of result (or of the connection, without one) in the access layer's codes.
    void Failed(const PGresult* result);
    void Ended() { --m_active; }
    bool Interrupted() const { return m_interrupted; }

private:
    PGconn* m_db;
    EngineError m_error;
    int m_active = 0;
    bool m_interrupted = false;
    bool m_onDemand = false;
    std::function<bool()> m_progress;
};
} // namespace ServerEngine
