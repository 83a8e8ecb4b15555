#include "toolkit/CDataList.h"

#include "data/CAdodc.h"

CDataList::CDataList(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void CDataList::SetDataSource(CAdodc* adodc, const QString& listField, const QString& boundColumn) {
    if (m_adodc)
        disconnect(m_adodc, nullptr, this, nullptr);
    m_adodc = adodc;
    m_listField = listField;
    m_boundColumn = boundColumn;
    setModel(adodc);
    if (!adodc)
        return;
    connect(adodc, &QAbstractItemModel::modelReset, this, &CDataList::FindColumns);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    m_adodc->SetCurrentRow(current.row());
            });
    FindColumns();
}

void CDataList::FindColumns() {
    // Column names compare without regard to letter case, as the engine's own do.
    auto find = [this](const QString& name) {
        for (int column = 0; column < m_adodc->columnCount(); ++column) {
            if (m_adodc->headerData(column, Qt::Horizontal).toString().compare(name, Qt::CaseInsensitive) ==
                0)
                return column;
        }
        return -1;
    };
    m_listIndex = find(m_listField);
    m_boundIndex = find(m_boundColumn);
    setModelColumn(qMax(m_listIndex, 0));
}

int CDataList::SelectedRow() const {
    if (!m_adodc || !selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString CDataList::GetText() const {
    const int row = SelectedRow();
    return row < 0 || m_listIndex < 0 ? QString() : m_adodc->Text(row, m_listIndex);
}

QString CDataList::GetBoundText() const {
    const int row = SelectedRow();
    return row < 0 || m_boundIndex < 0 ? QString() : m_adodc->Text(row, m_boundIndex);
}
