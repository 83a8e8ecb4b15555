// A shop database on a PostgreSQL server behind the access layer, through libpq. Rows come one at a
// time (single-row mode), so a browse over a million rentals opens at once as on the file; every
// write takes the shop's lock, as every write on the file takes the file's.
#include "data/Engine.h"
#include "data/SchemaUpgrade.h"
#include "data/ServerDialect.h"
#include "data/ShopConnection.h"

#include <QRegularExpression>
#include <QStringList>
#include <cstring>
#include <libpq-fe.h>
#include <poll.h>
#include <sqlite3.h>
#include <utility>
#include <vector>

namespace {
// The shop's write lock: one advisory lock of the database, held to the end of a transaction.
constexpr const char* kBeginWrite = "BEGIN; SELECT pg_advisory_xact_lock(5660830218592)";
// How long a desk waits for another's write before it gives up, as the file's busy timeout; and no
// compiling of statements to machine code, which costs a counter's short statements far more than
// it saves (a tenth of a second before the first row of the list of rentals out).
constexpr const char* kSessionSettings = "SET lock_timeout = 5000; SET jit = off";
// Between two questions to the progress handler while the server works.
constexpr int kProgressPollMs = 50;
// Rows of an unfinished result read to its end when its statement goes; a longer one is cancelled.
constexpr int kDrainRows = 1000;
// A statement whose rows are read on demand runs as a cursor, read some rows at a time: the server
// computes only the rows asked for, as the file's engine steps only the rows read. As many as the
// browse model asks for at once (a screen of the tallest grid). The server sends a fetch's rows
// when the fetch is complete: a failure in it brings none of them.
constexpr int kCursorRows = 64;
constexpr const char* kDeclare = "BEGIN READ ONLY; DECLARE vorix_rows NO SCROLL CURSOR FOR ";
const QByteArray kFetch = "FETCH FORWARD " + QByteArray::number(kCursorRows) + " FROM vorix_rows";

// The transaction a statement runs in of its own, when it is not inside one.
enum class Own { None, Write, Cursor };

// The server's types whose text the file's engine writes otherwise.
constexpr Oid kBool = 16;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kNumeric = 1700;

int CodeOf(const char* state) {
    const QByteArray code(state ? state : "");
    if (code == "23505")
        return SQLITE_CONSTRAINT_UNIQUE;
    if (code.startsWith("23"))
        return SQLITE_CONSTRAINT;
    if (code == "55P03" || code == "40P01" || code == "40001")
        return SQLITE_BUSY;
    if (code == "53100")
        return SQLITE_FULL;
    if (code == "57014")
        return SQLITE_INTERRUPT;
    if (code == "25006")
        return SQLITE_READONLY;
    if (code.startsWith("08") || code == "57P01" || code == "57P02" || code == "57P03")
        return ServerFailure::Lost;
    return SQLITE_ERROR;
}

// A failure to connect, told by the server's or libpq's text (it carries no code).
EngineError ConnectFailure(PGconn* db) {
    const QString text = QString::fromUtf8(PQerrorMessage(db)).trimmed();
    int code = ServerFailure::Unreachable;
    if (text.contains(QLatin1String("authentication failed")) ||
        text.contains(QLatin1String("no password")) || text.contains(QLatin1String("role \"")) ||
        text.contains(QLatin1String("no pg_hba.conf entry")))
        code = ServerFailure::Refused;
    else if (text.contains(QLatin1String("database \"")) && text.contains(QLatin1String("does not exist")))
        code = ServerFailure::NoSuchDatabase;
    return {code, text};
}

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

    std::unique_ptr<EngineStatement> Prepare(const QString& sql, bool* ok) override {
        *ok = false;
        const QString translated = ServerDialect::Translate(sql);
        // The first word tells the kind of statement, whatever blank or line follows it.
        const QString head =
            translated.section(QRegularExpression(QStringLiteral("\\W+")), 0, 0, QString::SectionSkipEmpty);
        const bool write = head.compare(QLatin1String("INSERT"), Qt::CaseInsensitive) == 0 ||
                           head.compare(QLatin1String("UPDATE"), Qt::CaseInsensitive) == 0 ||
                           head.compare(QLatin1String("DELETE"), Qt::CaseInsensitive) == 0;
        const bool read = head.compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0 ||
                          head.compare(QLatin1String("WITH"), Qt::CaseInsensitive) == 0;
        const bool idle = PQtransactionStatus(m_db) == PQTRANS_IDLE;
        const Own own = write && idle ? Own::Write : read && idle && m_onDemand ? Own::Cursor : Own::None;
        if (own == Own::Write && !Run(kBeginWrite))
            return nullptr;
        if (own == Own::Cursor && !Run(QByteArray(kDeclare + translated.toUtf8()).constData())) {
            Run("ROLLBACK");
            return nullptr;
        }
        m_interrupted = false;
        PGresult* first = Send(own == Own::Cursor ? kFetch : translated.toUtf8());
        const ExecStatusType status = PQresultStatus(first);
        if (status == PGRES_EMPTY_QUERY) {
            PQclear(first);
            Drain();
            *ok = true;
            return nullptr;
        }
        if (!first ||
            (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)) {
            Failed(first);
            PQclear(first);
            Drain();
            if (own != Own::None)
                Run("ROLLBACK");
            return nullptr;
        }
        *ok = true;
        ++m_active;
        return std::make_unique<ServerStatement>(this, first, sql, own);
    }

    // Sends one statement whose rows come one at a time, and waits for its first result.
    PGresult* Send(const QByteArray& sql) {
        if (PQsendQuery(m_db, sql.constData()) && PQsetSingleRowMode(m_db))
            return Wait();
        Failed(nullptr);
        return nullptr;
    }
    PGresult* FetchMore() { return Send(kFetch); }

    bool Run(const char* sql) override {
        PGresult* result = PQexec(m_db, sql);
        const ExecStatusType status = PQresultStatus(result);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (!ok)
            Failed(result);
        PQclear(result);
        return ok;
    }
    bool BeginWrite() override { return Run(kBeginWrite); }
    EngineError Error() const override { return m_error; }
    bool IsIdle() const override { return m_active == 0 && PQtransactionStatus(m_db) == PQTRANS_IDLE; }
    bool IsCurrent(const QString&) const override {
        if (PQstatus(m_db) != CONNECTION_OK)
            return false;
        // The server says nothing to an idle connection of its own accord, but for its goodbye when
        // it ends the connection (stopped, restarted, or the connection ended by hand): anything to
        // read means the connection is gone.
        pollfd ready{PQsocket(m_db), POLLIN, 0};
        return ::poll(&ready, 1, 0) == 0;
    }
    void SetBusyTimeout(int ms) override {
        // No timeout at all would be 0 to the server: the least it waits is a millisecond.
        Run(QByteArray("SET lock_timeout = " + QByteArray::number(std::max(ms, 1))).constData());
    }
    void SetProgressHandler(std::function<bool()> handler) override { m_progress = std::move(handler); }
    void SetRowsOnDemand(bool onDemand) override { m_onDemand = onDemand; }

    // The next result of the statement at work; null at its end. With a progress handler, the wait
    // asks it every so often, and cancels the statement when it says so.
    PGresult* Wait() {
        if (m_progress) {
            while (PQisBusy(m_db)) {
                pollfd ready{PQsocket(m_db), POLLIN, 0};
                if (::poll(&ready, 1, kProgressPollMs) != 0 && !PQconsumeInput(m_db))
                    break;
                if (!m_interrupted && PQisBusy(m_db) && m_progress())
                    Cancel();
            }
        }
        return PQgetResult(m_db);
    }
    // Reads the results still to come of the statement at work, to make the connection free again;
    // after cancelAfter rows the statement is cancelled rather than sent in full.
    void Drain(int cancelAfter = -1) {
        int rows = 0;
        while (PGresult* rest = PQgetResult(m_db)) {
            PQclear(rest);
            if (++rows == cancelAfter)
                Cancel();
        }
    }
    void Cancel() {
        m_interrupted = true;
        if (PGcancel* cancel = PQgetCancel(m_db)) {
            char reason[256];
            PQcancel(cancel, reason, sizeof reason);
            PQfreeCancel(cancel);
        }
    }
    // Keeps the failure of result (or of the connection, without one) as the file's engine codes it.
    void Failed(const PGresult* result) {
        if (PQstatus(m_db) != CONNECTION_OK) {
            m_error = {ServerFailure::Lost, QString::fromUtf8(PQerrorMessage(m_db)).trimmed()};
            return;
        }
        // The server's sentence alone, as the file's engine states one: without "ERROR:" before it
        // and the lines of context after it.
        const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        const char* text = primary ? primary : result ? PQresultErrorMessage(result) : PQerrorMessage(m_db);
        m_error = {result ? CodeOf(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : int(SQLITE_ERROR),
                   QString::fromUtf8(text).trimmed()};
    }
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

ServerStatement::ServerStatement(ServerConnection* connection, PGresult* first, const QString& sql, Own own)
    : m_connection(connection), m_next(first), m_own(own) {
    const int columns = PQnfields(first);
    for (int c = 0; c < columns; ++c) {
        m_names << ServerDialect::ColumnName(QString::fromUtf8(PQfname(first, c)), sql);
        const Oid type = PQftype(first, c);
        m_types.push_back(type);
        // As the file's declared REAL: a column of a table, not a computed one.
        m_amount.push_back(((type == kFloat4 || type == kFloat8) && PQftable(first, c) != InvalidOid) ||
                           m_names.last().endsWith(QStringLiteral("(元)")));
    }
    m_cells.resize(size_t(columns));
}

ServerStatement::~ServerStatement() {
    PQclear(m_row);
    PQclear(m_next);
    if (!m_finished) {
        m_connection->Drain(kDrainRows);
        EndOwn(false);
    }
    m_connection->Ended();
}

EngineStatement::Step ServerStatement::Next() {
    if (m_finished)
        return Done;
    ExecStatusType status = PGRES_FATAL_ERROR;
    for (;;) {
        PQclear(m_row);
        m_row = m_next ? m_next : m_connection->Wait();
        m_next = nullptr;
        status = PQresultStatus(m_row);
        if (m_row && status == PGRES_SINGLE_TUPLE) {
            ++m_batchRows;
            ReadRow();
            return Row;
        }
        // A full fetch of the cursor: the next rows are asked for.
        if (m_own != Own::Cursor || status != PGRES_TUPLES_OK || m_batchRows < kCursorRows)
            break;
        m_batchRows = 0;
        PQclear(m_row);
        m_row = nullptr;
        m_connection->Drain();
        m_next = m_connection->FetchMore();
        if (!m_next)
            break;
    }
    m_finished = true;
    const bool ended = m_row && (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK);
    if (!ended)
        m_connection->Failed(m_row);
    PQclear(m_row);
    m_row = nullptr;
    m_connection->Drain();
    if (!EndOwn(ended) || !ended)
        return m_connection->Error().code == SQLITE_INTERRUPT ? Interrupted : Failed;
    return Done;
}

void ServerStatement::ReadRow() {
    for (int c = 0; c < Columns(); ++c) {
        QByteArray& cell = m_cells[size_t(c)];
        cell = QByteArray();
        if (PQgetisnull(m_row, 0, c))
            continue;
        const char* value = PQgetvalue(m_row, 0, c);
        switch (m_types[size_t(c)]) {
        case kBool:
            cell = value[0] == 't' ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
            break;
        case kFloat4:
        case kFloat8:
            cell = ServerDialect::RealText(QByteArray(value).toDouble());
            break;
        case kNumeric:
            // A quotient is a real on the file; a sum of whole numbers stays whole.
            if (std::strchr(value, '.'))
                cell = ServerDialect::RealText(QByteArray(value).toDouble());
            break;
        default:
            break;
        }
    }
}

bool ServerStatement::EndOwn(bool commit) {
    const Own own = std::exchange(m_own, Own::None);
    if (own == Own::None)
        return true;
    if (commit)
        return m_connection->Run(own == Own::Cursor ? "CLOSE vorix_rows; COMMIT" : "COMMIT");
    m_connection->Run("ROLLBACK");
    return true;
}
} // namespace

ConnectionHandle Engine::OpenServer(const QString& connectionString, EngineError* error) {
    const QByteArray info = ShopConnection::ServerInfo(connectionString).toUtf8();
    const char* const keywords[] = {"dbname", "client_encoding", "connect_timeout",
                                    "fallback_application_name", nullptr};
    const char* const values[] = {info.constData(), "UTF8", "10", "vorix", nullptr};
    PGconn* db = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(db) != CONNECTION_OK) {
        *error = ConnectFailure(db);
        PQfinish(db);
        return nullptr;
    }
    auto connection = std::make_unique<ServerConnection>(db);
    // A database of another program, or of another version of this one, is refused as the file is.
    PGresult* version = PQexec(db, "SELECT Version FROM SchemaVersion");
    const bool read = PQresultStatus(version) == PGRES_TUPLES_OK && PQntuples(version) == 1;
    const int found = read ? QByteArray(PQgetvalue(version, 0, 0)).toInt() : -1;
    if (!read)
        connection->Failed(version);
    PQclear(version);
    if (!read) {
        *error = connection->Error();
        if (error->code != ServerFailure::Lost)
            error->code = ServerFailure::NotAShop;
        return nullptr;
    }
    if (found != ShopDatabase::kSchemaVersion) {
        *error = {
            SQLITE_ERROR,
            QStringLiteral(
                "服务器上的数据库是%1版本的程序写的(数据库版本 %2,本程序是版本 %3),本程序不能使用它。"
                "数据库没有做任何改动。")
                .arg(found > ShopDatabase::kSchemaVersion ? QStringLiteral("更新") : QStringLiteral("旧"))
                .arg(found)
                .arg(ShopDatabase::kSchemaVersion)};
        return nullptr;
    }
    if (!connection->Run(kSessionSettings)) {
        *error = connection->Error();
        return nullptr;
    }
    return connection;
}
