#include "toolkit/CDataGrid.h"

#include "data/CAdodc.h"
#include "toolkit/ColumnFit.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace {
// The width unit's share of one Chinese character.
constexpr float kUnitsPerCharacter = 7.0f;
} // namespace

CDataGrid::CDataGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->installEventFilter(this);
    // The last column takes the room left, but never less than its own width: Qt's stretching keeps
    // a stretched width after the grid narrows, which would hide columns behind an empty one.
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int pixels) {
        if (m_resizing)
            return;
        // Only a drag (or a double click on an edge) sizes a column while the grid does not.
        const QString heading = Heading(column);
        if (!heading.isEmpty() && !isColumnHidden(column))
            m_userWidths.insert(heading, pixels);
        if (column != LastVisibleColumn())
            FillWithLastColumn();
    });
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(horizontalHeader(), &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* reset = menu.addAction(QStringLiteral("恢复默认列宽"));
        reset->setEnabled(!m_userWidths.isEmpty());
        connect(reset, &QAction::triggered, this, &CDataGrid::ResetUserWidths);
        menu.exec(horizontalHeader()->mapToGlobal(at));
    });
    // Ascending, descending, then the window's own order again.
    horizontalHeader()->setSortIndicatorClearable(true);
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                if (m_adodc)
                    m_adodc->sort(column, order);
            });
    // The scroll bar taken to its end (its menu's 底部, or the thumb let go at the bottom).
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderToMaximum)
            ToTheEnd();
    });
    connect(verticalScrollBar(), &QAbstractSlider::sliderReleased, this, [this] {
        if (verticalScrollBar()->value() == verticalScrollBar()->maximum())
            ToTheEnd();
    });
}

QString CDataGrid::Heading(int column) const {
    return m_adodc ? m_adodc->headerData(column, Qt::Horizontal).toString() : QString();
}

void CDataGrid::Resize(int column, int pixels) {
    const QScopedValueRollback<bool> resizing(m_resizing, true);
    setColumnWidth(column, pixels);
}

void CDataGrid::SetUserWidths(const QMap<QString, int>& widths) {
    m_userWidths = widths;
    ApplyColumnWidths();
}

void CDataGrid::ResetUserWidths() {
    m_userWidths.clear();
    ApplyColumnWidths();
}

void CDataGrid::SetDataSource(CAdodc* adodc) {
    if (m_adodc)
        disconnect(m_adodc, nullptr, this, nullptr);
    m_adodc = adodc;
    setModel(adodc);
    if (!adodc)
        return;
    // After a refresh the header has forgotten its sizes and the selection is gone.
    connect(adodc, &QAbstractItemModel::modelReset, this, [this] {
        m_content.clear();
        ShowSortOrder();
        ApplyColumnWidths();
        ShowCurrentRow(m_adodc->CurrentRow());
    });
    connect(adodc, &CAdodc::currentRowChanged, this, &CDataGrid::ShowCurrentRow);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                const QScopedValueRollback<bool> moving(m_moving, true);
                if (current.isValid())
                    m_adodc->SetCurrentRow(current.row());
            });
    m_content.clear();
    ShowSortOrder();
    ApplyColumnWidths();
    ShowCurrentRow(adodc->CurrentRow());
}

void CDataGrid::ShowSortOrder() {
    QHeaderView* header = horizontalHeader();
    const bool sortable = m_adodc->CanSort();
    const QSignalBlocker quiet(header);
    header->setSortIndicatorShown(sortable);
    header->setSectionsClickable(sortable);
    header->setSortIndicator(sortable ? m_adodc->SortColumn() : -1, m_adodc->SortOrder());
}

void CDataGrid::ToTheEnd() {
    if (!m_adodc || !m_adodc->canFetchMore(QModelIndex()))
        return;
    m_adodc->FetchAll();
    scrollToBottom();
}

QModelIndex CDataGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (m_adodc && action == MoveEnd && (modifiers & Qt::ControlModifier))
        m_adodc->FetchAll();
    return QTableView::moveCursor(action, modifiers);
}

void CDataGrid::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex current = currentIndex();
    if (!m_adodc || !m_adodc->CanSort() || !current.isValid())
        return;
    const int column = current.column();
    const QString heading = Heading(column);
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("按“%1”升序排列").arg(heading)), &QAction::triggered, this,
            [this, column] { m_adodc->sort(column, Qt::AscendingOrder); });
    connect(menu.addAction(QStringLiteral("按“%1”降序排列").arg(heading)), &QAction::triggered, this,
            [this, column] { m_adodc->sort(column, Qt::DescendingOrder); });
    QAction* own = menu.addAction(QStringLiteral("恢复默认顺序"));
    own->setEnabled(m_adodc->SortColumn() >= 0);
    connect(own, &QAction::triggered, this, [this] { m_adodc->sort(-1); });
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
                          ? event->globalPos()
                          : viewport()->mapToGlobal(visualRect(current).center());
    menu.exec(at);
}

int CDataGrid::PixelsOf(float width) const {
    const QHeaderView* header = horizontalHeader();
    const float character = float(header->fontMetrics().horizontalAdvance(QChar(0x4E2D))); // 中
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return int(std::ceil(width * character / kUnitsPerCharacter)) + 2 * margin;
}

int CDataGrid::FirstVisibleColumn() const {
    int column = 0;
    while (column < m_adodc->columnCount() - 1 && isColumnHidden(column))
        ++column;
    return column;
}

int CDataGrid::LastVisibleColumn() const {
    const QHeaderView* header = horizontalHeader();
    for (int visual = header->count() - 1; visual >= 0; --visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column))
            return column;
    }
    return -1;
}

int CDataGrid::OwnWidth(int column) {
    const bool set = size_t(column) < m_widths.size() && m_widths[size_t(column)] > 0;
    int pixels = set ? PixelsOf(m_widths[size_t(column)]) : horizontalHeader()->defaultSectionSize();
    if (m_adodc && column < m_adodc->columnCount()) {
        if (m_content.size() != size_t(m_adodc->columnCount()))
            m_content.assign(size_t(m_adodc->columnCount()), -2);
        int& content = m_content[size_t(column)];
        if (content == -2)
            content = ColumnFit::Content(*this, *m_adodc, column);
        if (content >= 0)
            pixels = content;
        pixels = std::max(pixels, ColumnFit::Heading(*this, column));
        // An amount is never cut: its column holds the largest the desk takes, to the cent.
        if (m_adodc->IsMoney(column))
            pixels =
                std::max(pixels, PixelsOf(0) + fontMetrics().horizontalAdvance(QStringLiteral("-9999.00")));
    }
    const auto user = m_userWidths.constFind(Heading(column));
    if (user != m_userWidths.constEnd())
        pixels = std::max(*user, horizontalHeader()->minimumSectionSize());
    return pixels;
}

void CDataGrid::FillWithLastColumn() {
    const int last = LastVisibleColumn();
    if (last < 0)
        return;
    const int own = OwnWidth(last);
    const int others = horizontalHeader()->length() - columnWidth(last);
    const int width = std::max(own, viewport()->width() - others);
    if (columnWidth(last) != width)
        Resize(last, width);
}

void CDataGrid::SetColumnWidth(int column, float width) {
    if (column < 0)
        return;
    const QScopedValueRollback<bool> resizing(m_resizing, true); // hiding a column sizes it too
    if (size_t(column) >= m_widths.size())
        m_widths.resize(size_t(column) + 1, -1.0f);
    m_widths[size_t(column)] = width;
    if (width <= 0) {
        setColumnHidden(column, true);
        // The keys cannot move from a cell in a hidden column: keep the row, leave the column.
        const QModelIndex current = currentIndex();
        if (m_adodc && current.isValid() && current.column() == column)
            selectionModel()->setCurrentIndex(m_adodc->index(current.row(), FirstVisibleColumn()),
                                              QItemSelectionModel::NoUpdate);
    } else {
        setColumnHidden(column, false);
        Resize(column, OwnWidth(column));
    }
    FillWithLastColumn();
}

void CDataGrid::ApplyColumnWidths() {
    for (size_t column = 0; column < m_widths.size(); ++column) {
        if (m_widths[column] >= 0)
            SetColumnWidth(int(column), m_widths[column]);
    }
}

void CDataGrid::ShowCurrentRow(int row) {
    if (!m_adodc)
        return;
    if (row < 0) {
        clearSelection();
        return;
    }
    if (currentIndex().isValid() && currentIndex().row() == row &&
        (selectionModel()->isRowSelected(row) || (m_moving && selectionMode() == ExtendedSelection)))
        return; // a row taken out of a pick of several stays out
    const QModelIndex index = m_adodc->index(row, FirstVisibleColumn());
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void CDataGrid::AllowManyRows() {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

QList<int> CDataGrid::SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QString CDataGrid::GetCellText(int column) const {
    return m_adodc ? m_adodc->Text(m_adodc->CurrentRow(), column) : QString();
}

void CDataGrid::resizeEvent(QResizeEvent* event) {
    // Also sent when a scroll bar comes or goes and the viewport alone changes width.
    QTableView::resizeEvent(event);
    FillWithLastColumn();
}

void CDataGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    // The cells' font: their texts measure anew.
    if (event->type() == QEvent::FontChange) {
        m_content.clear();
        ApplyColumnWidths();
    }
}

bool CDataGrid::eventFilter(QObject* watched, QEvent* event) {
    // The unit follows the header's font (the desktop may give headers a font of their own).
    if (watched == horizontalHeader() && event->type() == QEvent::FontChange) {
        m_content.clear();
        ApplyColumnWidths();
    }
    return QTableView::eventFilter(watched, event);
}
