#pragma once
// The data control of the browse windows: one query, run on a connection of its own, whose rows a
// grid or list shows. Rows are stepped from the open statement as the view scrolls, never counted
// first, so a query over a million rentals opens at once and holds only the rows looked at. The
// connection comes from the pool of idle ones and goes back to it with the model: a server would
// otherwise start a process for every window.
#include "data/CAdoDb.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class CAdodc : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows stepped at a time: more than a screen of the tallest grid.
    static constexpr int kFetchRows = 64;

    explicit CAdodc(QObject* parent = nullptr, QString connectionString = ShopConnection::Current());
    ~CAdodc() override;

    // The order chosen by sort() stays for the next record source.
    void SetRecordSource(const QString& sql);
    QString RecordSource() const { return m_source; }
    // What Refresh runs: the record source, in the order sort() chose.
    QString Statement() const;
    // Runs the record source again from its start; the first row becomes current. A query that
    // fails shows the engine's message and leaves the model empty. The rows shown until then stay
    // while the engine works; a refresh asked for meanwhile (from the progress handler) is ignored.
    void Refresh();

    // Asked every so often while the engine works on a refresh or a fetch, with the milliseconds
    // it has taken so far; true interrupts it: the statement ends without a message, and the rows
    // read before stay. The handler may process events; no fetch starts while it runs.
    using ProgressHandler = std::function<bool(qint64 elapsedMs)>;
    void SetProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }
    // True when the progress handler interrupted the last refresh or fetch.
    bool WasInterrupted() const { return m_interrupted; }
    // True when there is no current row.
    bool IsEOF() const { return m_current < 0; }
    int CurrentRow() const { return m_current; }
    // A row outside the rows fetched so far is ignored; -1 leaves no row current.
    void SetCurrentRow(int row);
    // The text of a fetched cell, as stored; empty outside them.
    QString Text(int row, int column) const;
    // True for a column of amounts (a REAL column of the shop, or one named "…(元)"): the views show it
    // right-aligned with two decimals.
    bool IsMoney(int column) const {
        return column >= 0 && column < int(m_money.size()) && m_money[size_t(column)];
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // Steps every row left (the progress handler may interrupt it), for a view going to the end.
    void FetchAll();

    // True when the record source's rows can be put in another order (not a statement of several
    // SELECTs, whose last row is a total).
    bool CanSort() const;
    // Runs the record source again ordered by column first (its own order after it); a column of -1
    // brings back the record source's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // The column sort() ordered by, -1 for the record source's own order.
    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

signals:
    void currentRowChanged(int row);
    // After every refresh and fetch, once the engine is done with it.
    void workEnded();

private:
    // Opens the connection at the first refresh; a failure is described in *failure.
    bool Connect(QString* failure);
    // Fetched rows. Each row's cells are kept as one text with the end of every cell: a cell of
    // its own for each value cost some 80 bytes of allocations, most of them for short values.
    struct Rows {
        std::vector<QString> texts; // one per row
        std::vector<int> ends;      // per row, where each cell ends in the row's text
        int size() const { return int(texts.size()); }
    };
    // Steps up to count rows of the open statement into rows, finalizing it at the end of the
    // result. Returns the engine's failure, described, or empty.
    QString Step(int count, Rows* rows);
    // Steps up to count more rows and tells the views of them.
    void Fetch(int count);
    // Ends the statement and the connection after an engine error; returns the message to show.
    QString Fail();
    // Prepares the record source and steps its first rows into headings and rows; returns the
    // failure to show, if any.
    QString Start(QStringList* headings, std::vector<bool>* money, Rows* rows);
    bool OnProgress();

    // Set while the model changes: no rows are fetched while its signals are out.
    struct Changing {
        explicit Changing(bool* flag) : m_flag(flag) { *m_flag = true; }
        ~Changing() { *m_flag = false; }
        Changing(const Changing&) = delete;
        Changing& operator=(const Changing&) = delete;
        bool* m_flag;
    };

    QString m_connectionString;
    QString m_source;
    ConnectionHandle m_db;
    bool m_connectFailed = false; // reported once; later refreshes stay empty without a box
    // Declared after the connection, so that it is finalized before the connection closes.
    std::unique_ptr<EngineStatement> m_stmt;
    QStringList m_headings;
    std::vector<bool> m_money; // by column
    Rows m_fetched;
    int m_rows = 0; // m_fetched.size(), as the views were told
    int m_current = -1;
    bool m_changing = false;
    ProgressHandler m_progress;
    QElapsedTimer m_work; // since the refresh or fetch began
    bool m_interrupted = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
