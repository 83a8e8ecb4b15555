#include "data/CAdoDb.h"

#include "base/Prompter.h"
#include "data/Sql.h"
#include "data/engine/ConnectionPool.h"

namespace {
thread_local CTransaction* t_scope = nullptr;

std::function<void(const QString&)>& StatementObserver() {
    static std::function<void(const QString&)> observer;
    return observer;
}
} // namespace

// ---- CRecordset

QString CRecordset::GetText(const char* column) const {
    // Column names compare without regard to letter case, as the engine's own do.
    const QLatin1String name(column);
    for (qsizetype i = 0; !m_eof && i < m_names.size(); ++i) {
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return m_values.at(i);
    }
    return {};
}

int CRecordset::GetInt(const char* column) const {
    return Sql::ToInt(GetText(column));
}

float CRecordset::GetReal(const char* column) const {
    return Sql::ToReal(GetText(column));
}

// ---- CAdoDb

CAdoDb::CAdoDb(QString connectionString) : m_connectionString(std::move(connectionString)) {}

CAdoDb::~CAdoDb() {
    Close();
}

void CAdoDb::SetStatementObserver(std::function<void(const QString&)> observer) {
    StatementObserver() = std::move(observer);
}

void CAdoDb::Fail(const QString& message) {
    m_errored = true;
    if (m_quiet)
        return;
    if (!m_own && t_scope)
        t_scope->RecordFailure(message);
    else
        Prompter::ReportDatabaseError(message);
}

void CAdoDb::Connect() {
    if (m_connection || m_connectFailed)
        return;
    if (t_scope) {
        m_connection = t_scope->Connection(m_connectionString);
        m_connectFailed = !m_connection; // the scope has recorded why
        return;
    }
    EngineError error;
    m_own = ConnectionPool::Take(m_connectionString, &error);
    m_connection = m_own.get();
    if (!m_connection) {
        // Reported once; the statements of this object then fail without a second box.
        m_connectFailed = true;
        if (!m_quiet)
            Prompter::ReportDatabaseError(EngineError::Describe(error));
    }
}

bool CAdoDb::Prepare(const QString& sql, std::unique_ptr<EngineStatement>* stmt, bool* ok) {
    if (StatementObserver())
        StatementObserver()(sql);
    Connect();
    if (!m_connection)
        return false;
    *stmt = m_connection->Prepare(sql, ok);
    return true;
}

const CRecordset& CAdoDb::Query(const QString& sql) {
    m_recordset = CRecordset();
    std::unique_ptr<EngineStatement> stmt;
    bool ok = false;
    if (!Prepare(sql, &stmt, &ok))
        return m_recordset;
    const EngineStatement::Step step = !ok    ? EngineStatement::Failed
                                       : stmt ? stmt->Next()
                                              : EngineStatement::Done;
    if (step == EngineStatement::Row || step == EngineStatement::Done) {
        m_recordset.m_open = true;
        m_recordset.m_eof = step == EngineStatement::Done;
        const int columns = step == EngineStatement::Row ? stmt->Columns() : 0;
        for (int i = 0; i < columns; ++i) {
            m_recordset.m_names << stmt->Name(i);
            m_recordset.m_values << stmt->Text(i);
        }
    } else {
        Fail(EngineError::Describe(m_connection->Error()));
    }
    // Only the first row is ever read: end the statement at once so that it holds no lock.
    stmt.reset();
    return m_recordset;
}

bool CAdoDb::Execute(const QString& sql) {
    return EachRow(sql, [](const EngineStatement&) {});
}

bool CAdoDb::EachRow(const QString& sql, const std::function<void(const EngineStatement& row)>& row) {
    std::unique_ptr<EngineStatement> stmt;
    bool ok = false;
    if (!Prepare(sql, &stmt, &ok))
        return false;
    EngineStatement::Step step = !ok ? EngineStatement::Failed : EngineStatement::Done;
    if (stmt) {
        while ((step = stmt->Next()) == EngineStatement::Row)
            row(*stmt);
    }
    if (step != EngineStatement::Done)
        Fail(EngineError::Describe(m_connection->Error()));
    stmt.reset();
    return step == EngineStatement::Done;
}

void CAdoDb::Close() {
    if (m_own)
        ConnectionPool::Give(std::move(m_own), m_connectionString, !m_errored);
    m_connection = nullptr;
    m_errored = false;
}

// ---- CTransaction

CTransaction::CTransaction() : m_outer(t_scope) {
    if (!m_outer)
        t_scope = this;
}

CTransaction::~CTransaction() {
    if (!m_outer)
        Finish(false);
}

EngineConnection* CTransaction::Connection(const QString& connectionString) {
    if (m_failed)
        return nullptr; // a failed transaction runs nothing more
    if (!m_connection) {
        EngineError error;
        m_connection = ConnectionPool::Take(connectionString, &error);
        // Take the write lock at once, so that no other writer slips in between our statements
        // and every read of the scope sees what it will write back over.
        if (m_connection && !m_connection->BeginWrite()) {
            error = m_connection->Error();
            m_connection.reset();
        }
        if (!m_connection)
            RecordFailure(EngineError::Describe(error));
        m_connectionString = connectionString;
    }
    return m_connection.get();
}

void CTransaction::RecordFailure(const QString& message) {
    if (!m_failed || m_error.isEmpty())
        m_error = message;
    m_failed = true;
}

bool CTransaction::Commit() {
    if (m_outer)
        return !m_failed && !m_outer->m_failed;
    if (m_done)
        return !m_failed;
    Finish(true);
    return !m_failed;
}

void CTransaction::Finish(bool commit) {
    if (m_done)
        return;
    m_done = true;
    t_scope = nullptr;
    if (m_connection) {
        if (commit && !m_failed && !m_connection->Run("COMMIT"))
            RecordFailure(EngineError::Describe(m_connection->Error()));
        if (!commit || m_failed)
            m_connection->Run("ROLLBACK");
        ConnectionPool::Give(std::move(m_connection), m_connectionString, !m_failed);
    }
    if (m_failed)
        Prompter::ReportDatabaseError(m_error);
}
