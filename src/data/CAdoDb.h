#pragma once
// The access layer: one connection to cddata.mdb per repository operation, one statement each.
// Connections come from a per-thread pool of idle ones, as if each were opened afresh.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

struct sqlite3;

// Closes a connection. That fails only while one of its statements is not finalized, and every
// holder finalizes its statements before it lets go of the connection.
struct SqliteCloser {
    void operator()(sqlite3* db) const;
};
// The one owner of an open connection; the raw pointer is lent out with get().
using DatabaseHandle = std::unique_ptr<sqlite3, SqliteCloser>;

// The connection string of the shop's database; the file is looked up in the current directory.
inline const char* const kConnectionString =
    "Provider=SQLCipher;Data Source=cddata.mdb;Database Password=mqvetra531";

struct ConnectionSettings {
    QString dataSource;
    QByteArray password; // empty: a plain, unencrypted file
};
ConnectionSettings ParseConnectionString(const QString& connectionString);

// Opens an existing database file (never creates one), keyed and with a busy timeout, outside the
// pool of idle connections, as it is: nothing of the file is read or written. Returns null and
// sets *error to the engine's text on failure.
DatabaseHandle OpenDatabase(const ConnectionSettings& settings, QString* error);
// The program's own connection to the shop, like the pool's: brought up to date first
// (ShopDatabase::BringUpToDate); *failure is the failure as the shop reads it (DescribeEngineError).
DatabaseHandle OpenDatabaseDescribed(const ConnectionSettings& settings, QString* failure);
// Like OpenDatabase, but runs the passphrase's key derivation on every open instead of using the cached key.
DatabaseHandle OpenDatabaseWithPassphrase(const ConnectionSettings& settings, QString* error);
// Creates the file (or opens it if it exists) and keys it with the passphrase, outside the pool.
// The key is only written with the file's first page: an empty keyed file accepts any key.
DatabaseHandle CreateDatabase(const ConnectionSettings& settings, QString* error);

// What a load or a check found: a failed query is not a missing row.
enum class Lookup { Found, Missing, Failed };

// The engine's failure as the shop reads it: what happened and what to do, in Chinese, with the
// engine's own text after it. extendedCode is sqlite3_extended_errcode's.
QString DescribeEngineError(int extendedCode, const QString& engineText);

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
    explicit CAdoDb(QString connectionString = QString::fromUtf8(kConnectionString));
    virtual ~CAdoDb();
    CAdoDb(const CAdoDb&) = delete;
    CAdoDb& operator=(const CAdoDb&) = delete;

    void Connect();
    // Runs one SELECT and keeps its first row. A failure is shown and leaves the result not open.
    const CRecordset& Query(const QString& sql);
    // Runs one INSERT, UPDATE or DELETE; true when the database accepted it.
    bool Execute(const QString& sql);
    void Close();

    // Tests watch the statements the repositories compose; null stops watching.
    static void SetStatementObserver(std::function<void(const QString&)> observer);

private:
    bool EnsureConnected();
    void Fail(const QString& message);

    QString m_connectionString;
    DatabaseHandle m_own;            // the connection taken from the pool, if any
    sqlite3* m_connection = nullptr; // m_own's, or borrowed from the open transaction scope
    bool m_connectFailed = false;
    bool m_errored = false; // a connection that reported an error is not pooled again
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
    sqlite3* Connection(const QString& connectionString);
    void RecordFailure(const QString& message);
    void Finish(bool commit);

    CTransaction* m_outer = nullptr;
    DatabaseHandle m_connection;
    QString m_connectionString; // the pool's key of m_connection
    bool m_failed = false;
    bool m_done = false;
    QString m_error;
};
