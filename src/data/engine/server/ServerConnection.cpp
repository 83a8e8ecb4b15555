// A connection to the shop's database on a server: statements sent one at a time, rows read one at
// a time (single-row mode) or a cursor's fetch at a time, every write under the shop's lock.
#include "data/engine/server/ServerConnection.h"
#include "data/engine/server/ServerDialect.h"

#include <QRegularExpression>
#include <poll.h>

namespace ServerEngine {
EngineError::Code CodeOf(const char* state) {
    const QByteArray code(state ? state : "");
    if (code == "23505")
        return EngineError::Unique;
    if (code.startsWith("23"))
        return EngineError::Constraint;
    if (code == "55P03" || code == "40P01" || code == "40001")
        return EngineError::Busy;
    if (code == "53100")
        return EngineError::Full;
    if (code == "57014")
        return EngineError::Interrupted;
    if (code == "25006")
        return EngineError::ReadOnly;
    if (code.startsWith("08") || code == "57P01" || code == "57P02" || code == "57P03")
        return EngineError::Lost;
    return EngineError::Failed;
}

std::unique_ptr<EngineStatement> ServerConnection::Prepare(const QString& sql, bool* ok) {
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
    if (!first || (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)) {
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

PGresult* ServerConnection::Send(const QByteArray& sql) {
    if (PQsendQuery(m_db, sql.constData()) && PQsetSingleRowMode(m_db))
        return Wait();
    Failed(nullptr);
    return nullptr;
}

bool ServerConnection::Run(const char* sql) {
    PGresult* result = PQexec(m_db, sql);
    const ExecStatusType status = PQresultStatus(result);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    if (!ok)
        Failed(result);
    PQclear(result);
    return ok;
}

bool ServerConnection::IsCurrent(const QString&) const {
    if (PQstatus(m_db) != CONNECTION_OK)
        return false;
    // The server says nothing to an idle connection of its own accord, but for its goodbye when
    // it ends the connection (stopped, restarted, or the connection ended by hand): anything to
    // read means the connection is gone.
    pollfd ready{PQsocket(m_db), POLLIN, 0};
    return ::poll(&ready, 1, 0) == 0;
}

void ServerConnection::SetBusyTimeout(int ms) {
    // No timeout at all would be 0 to the server: the least it waits is a millisecond.
    Run(QByteArray("SET lock_timeout = " + QByteArray::number(std::max(ms, 1))).constData());
}

PGresult* ServerConnection::Wait() {
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

void ServerConnection::Drain(int cancelAfter) {
    int rows = 0;
    while (PGresult* rest = PQgetResult(m_db)) {
        PQclear(rest);
        if (++rows == cancelAfter)
            Cancel();
    }
}

void ServerConnection::Cancel() {
    m_interrupted = true;
    if (PGcancel* cancel = PQgetCancel(m_db)) {
        char reason[256];
        PQcancel(cancel, reason, sizeof reason);
        PQfreeCancel(cancel);
    }
}

void ServerConnection::Failed(const PGresult* result) {
    if (PQstatus(m_db) != CONNECTION_OK) {
        m_error = {EngineError::Lost, QString::fromUtf8(PQerrorMessage(m_db)).trimmed()};
        return;
    }
    // The server's sentence alone, as the file's engine states one: without "ERROR:" before it
    // and the lines of context after it.
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const char* text = primary ? primary : result ? PQresultErrorMessage(result) : PQerrorMessage(m_db);
    m_error = {result ? CodeOf(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : EngineError::Failed,
               QString::fromUtf8(text).trimmed()};
}
} // namespace ServerEngine
