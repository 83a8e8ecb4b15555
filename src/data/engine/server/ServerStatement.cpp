// A statement on the server and its rows, each cell written as the file's engine writes it.
#include "data/engine/server/ServerConnection.h"
#include "data/engine/server/ServerDialect.h"

#include <cstring>
#include <utility>

namespace ServerEngine {
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
        return m_connection->Error().code == EngineError::Interrupted ? Interrupted : Failed;
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
} // namespace ServerEngine
