#pragma once
// The access layer: one connection to the shop per repository operation, one statement each; the
// shop is cddata.mdb or a database server, as the connection string says (Engine.h).
// Connections come from a per-thread pool of idle ones, as if each were opened afresh
// (engine/ConnectionPool.h). This header also brings the engines' failures and their texts
// (engine/EngineError.h) to its callers.
#include "data/engine/Engine.h"
#include "data/engine/EngineError.h"
#include "data/engine/ShopConnection.h"

#include <QString>
#include <QStringList>
#include <functional>

// What a load or a check found: a failed query is not a missing row.
enum class Lookup { Found, Missing, Failed };

// The first row of a query's result, read as text by column name.
class CRecordset {
public:
    bool IsOpen() const { return m_open; }
    Lookup Result() const { return !m_open ? Lookup::Failed : m_eof ? Lookup::Missing : Lookup::Found; }
    // True when the query matched no row (or did not run).
    bool IsEOF() const { return m_eof; }
    QString GetText(const char* column) const;
    int GetInt(const char* column) const;
    float GetReal(const char* column) const;

private:
    friend class CAdoDb;
    bool m_open = false;
    bool m_eof = true;
    QStringList m_names;
    QStringList m_values;
};

class CAdoDb {
public:
    explicit CAdoDb(QString connectionString = ShopConnection::Current());
    virtual ~CAdoDb();
    CAdoDb(const CAdoDb&) = delete;
    CAdoDb& operator=(const CAdoDb&) = delete;

    void Connect();
    // A quiet object shows no failure: a lookup that is information only fails without a box.
    void SetQuiet(bool quiet) { m_quiet = quiet; }
    // Runs one SELECT and keeps its first row. A failure is shown and leaves the result not open.
    const CRecordset& Query(const QString& sql);
    // Runs one INSERT, UPDATE or DELETE; true when the database accepted it.
    bool Execute(const QString& sql);
    // Runs one SELECT and hands each row to row, inside the open transaction scope if there is one;
    // true when every row was read. A failure is shown as Query's is.
    bool EachRow(const QString& sql, const std::function<void(const EngineStatement& row)>& row);
    void Close();

    // Tests watch the statements the repositories compose; null stops watching.
    static void SetStatementObserver(std::function<void(const QString&)> observer);

private:
    // Shows sql to the observer and starts it on this object's connection; false when there is no
    // connection (its failure is reported already), else *ok tells whether it started.
    bool Prepare(const QString& sql, std::unique_ptr<EngineStatement>* stmt, bool* ok);
    void Fail(const QString& message);

    QString m_connectionString;
    ConnectionHandle m_own;                   // the connection taken from the pool, if any
    EngineConnection* m_connection = nullptr; // m_own's, or borrowed from the open transaction scope
    bool m_connectFailed = false;
    bool m_errored = false; // a connection that reported an error is not pooled again
    bool m_quiet = false;
    CRecordset m_recordset;
};

// Joins every CAdoDb made on this thread while it lives into one database transaction.
// Failures inside it are held back and shown after the rollback, so that no transaction is
// open while a message box waits. A scope made inside another joins the outer one.
class CTransaction {
public:
    CTransaction();
    ~CTransaction(); // rolls back unless committed
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;

    // Commits when every statement succeeded; otherwise rolls back, shows the first failure and
    // returns false. An inner scope only reports whether the transaction is still sound.
    bool Commit();

private:
    friend class CAdoDb;
    EngineConnection* Connection(const QString& connectionString);
    void RecordFailure(const QString& message);
    void Finish(bool commit);

    CTransaction* m_outer = nullptr;
    ConnectionHandle m_connection;
    QString m_connectionString; // the pool's key of m_connection
    bool m_failed = false;
    bool m_done = false;
    QString m_error;
};
