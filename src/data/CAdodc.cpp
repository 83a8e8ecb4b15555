#include "data/CAdodc.h"

#include "base/Prompter.h"
#include "data/GridOrder.h"
#include "data/Sql.h"
#include "data/engine/ConnectionPool.h"

#include <limits>

CAdodc::CAdodc(QObject* parent, QString connectionString)
    : QAbstractTableModel(parent), m_connectionString(std::move(connectionString)) {}

CAdodc::~CAdodc() {
    m_stmt.reset(); // a connection with a statement left open would not close
    if (!m_db)
        return;
    // Back as the pool gave it: nobody to ask while it works, every row read at once.
    m_db->SetProgressHandler(nullptr);
    m_db->SetRowsOnDemand(false);
    ConnectionPool::Give(std::move(m_db), m_connectionString, true);
}

void CAdodc::SetRecordSource(const QString& sql) {
    m_source = sql;
}

QString CAdodc::Statement() const {
    return GridOrder::Sorted(m_source, m_sortColumn, m_sortOrder);
}

bool CAdodc::CanSort() const {
    return GridOrder::CanSort(m_source);
}

void CAdodc::sort(int column, Qt::SortOrder order) {
    if (m_changing || (column >= 0 && !CanSort()))
        return;
    m_sortColumn = column < 0 ? -1 : column;
    m_sortOrder = order;
    Refresh();
}

bool CAdodc::Connect(QString* failure) {
    if (m_db)
        return true;
    if (m_connectFailed)
        return false;
    EngineError error;
    m_db = ConnectionPool::Take(m_connectionString, &error);
    if (!m_db) {
        *failure = EngineError::Describe(error);
        m_connectFailed = true;
        return false;
    }
    m_db->SetProgressHandler([this] { return OnProgress(); });
    m_db->SetRowsOnDemand(true);
    return true;
}

bool CAdodc::OnProgress() {
    if (!m_interrupted && m_progress && m_progress(m_work.elapsed()))
        m_interrupted = true;
    return m_interrupted;
}

void CAdodc::Refresh() {
    if (m_changing)
        return; // the engine is at work on this connection
    QString failure;
    {
        const Changing changing(&m_changing);
        m_stmt.reset();
        m_interrupted = false;
        m_work.start();
        // The new rows are read aside, so that the views paint the old ones while the engine works.
        QStringList headings;
        std::vector<bool> money;
        Rows rows;
        if (Connect(&failure))
            failure = Start(&headings, &money, &rows);
        beginResetModel();
        m_headings = std::move(headings);
        m_money = std::move(money);
        m_fetched = std::move(rows);
        m_rows = m_fetched.size();
        m_current = m_rows > 0 ? 0 : -1;
        endResetModel();
    }
    // Shown once the views know the model again and the work is over: the box's event loop may
    // repaint them, and the box must get the input a busy window holds back.
    emit workEnded();
    if (!failure.isEmpty())
        Prompter::ReportDatabaseError(failure);
    emit currentRowChanged(m_current);
}

QString CAdodc::Start(QStringList* headings, std::vector<bool>* money, Rows* rows) {
    bool prepared = false;
    m_stmt = m_db->Prepare(Statement(), &prepared);
    if (!prepared)
        return m_interrupted ? QString() : Fail();
    if (!m_stmt)
        return {}; // no statement in the text: nothing to show
    const int columns = m_stmt->Columns();
    for (int c = 0; c < columns; ++c) {
        *headings << m_stmt->Name(c);
        money->push_back(m_stmt->IsAmount(c));
    }
    const QString failure = Step(kFetchRows, rows);
    if (!failure.isEmpty()) {
        headings->clear();
        money->clear();
        *rows = Rows();
    }
    return failure;
}

QString CAdodc::Step(int count, Rows* rows) {
    EngineStatement* stmt = m_stmt.get();
    const int columns = stmt->Columns();
    for (int row = 0; row < count; ++row) {
        const EngineStatement::Step step = stmt->Next();
        // The whole result is read, or the handler stopped it: end the statement, so that it
        // holds back no checkpoint. An interrupted connection is sound and stays open.
        if (step == EngineStatement::Done || (step == EngineStatement::Interrupted && m_interrupted)) {
            m_stmt.reset();
            return {};
        }
        if (step != EngineStatement::Row)
            return Fail();
        QString text;
        for (int c = 0; c < columns; ++c) {
            text += QString::fromUtf8(stmt->Bytes(c));
            rows->ends.push_back(int(text.size()));
        }
        text.squeeze();
        rows->texts.push_back(std::move(text));
    }
    return {};
}

QString CAdodc::Fail() {
    const QString message = EngineError::Describe(m_db->Error());
    m_stmt.reset();
    // As in the access layer, a connection that reported an error is not used again.
    m_db.reset();
    return message;
}

void CAdodc::SetCurrentRow(int row) {
    if (row < -1 || row >= m_rows || row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

QString CAdodc::Text(int row, int column) const {
    const int columns = int(m_headings.size());
    if (row < 0 || row >= m_rows || column < 0 || column >= columns)
        return {};
    const size_t cell = size_t(row) * size_t(columns) + size_t(column);
    const int begin = column == 0 ? 0 : m_fetched.ends[cell - 1];
    return m_fetched.texts[size_t(row)].mid(begin, m_fetched.ends[cell] - begin);
}

int CAdodc::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int CAdodc::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headings.size());
}

QVariant CAdodc::data(const QModelIndex& index, int role) const {
    // The tool tip is the whole text, for cells too narrow to show it.
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const bool money = IsMoney(index.column());
    if (role == Qt::TextAlignmentRole)
        return money ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const QString text = Text(index.row(), index.column());
    // Two decimals for display only; Text() keeps the stored value.
    return money ? Sql::Amount(text) : text;
}

QVariant CAdodc::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role != Qt::DisplayRole || section < 0 || section >= m_headings.size())
        return {};
    return m_headings.at(section);
}

bool CAdodc::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_stmt != nullptr && !m_changing;
}

void CAdodc::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        Fetch(kFetchRows);
}

void CAdodc::FetchAll() {
    if (canFetchMore(QModelIndex()))
        Fetch(std::numeric_limits<int>::max());
}

void CAdodc::Fetch(int count) {
    QString failure;
    {
        // A listener that fetches while hearing of this change would add rows in its middle.
        const Changing changing(&m_changing);
        // Stepped aside first: the views must learn how many rows come before they are added.
        m_interrupted = false;
        m_work.start();
        Rows batch;
        failure = Step(count, &batch); // a failure keeps the rows read before it
        const int added = batch.size();
        if (added > 0) {
            beginInsertRows(QModelIndex(), m_rows, m_rows + added - 1);
            m_fetched.texts.insert(m_fetched.texts.end(), std::make_move_iterator(batch.texts.begin()),
                                   std::make_move_iterator(batch.texts.end()));
            m_fetched.ends.insert(m_fetched.ends.end(), batch.ends.begin(), batch.ends.end());
            m_rows += added;
            endInsertRows();
        }
    }
    emit workEnded();
    if (!failure.isEmpty())
        Prompter::ReportDatabaseError(failure);
}
