#include "manage/ImportPlanModel.h"

#include <QBrush>
#include <QColor>

void ImportPlanModel::SetPlan(const Import::Plan* plan) {
    beginResetModel();
    m_plan = plan;
    endResetModel();
}

int ImportPlanModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_plan ? 0 : int(m_plan->rows.size());
}

int ImportPlanModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ImportPlanModel::data(const QModelIndex& index, int role) const {
    if (!m_plan || !index.isValid() || index.row() >= m_plan->rows.size())
        return QVariant();
    const Import::PlannedRow& row = m_plan->rows.at(index.row());
    if (role == Qt::ForegroundRole && row.fate == Import::Fate::Refused)
        return QBrush(QColor(0xb0, 0x00, 0x00));
    if (role == Qt::AccessibleTextRole && index.column() == 1)
        return QStringLiteral("第 %1 行 %2 %3").arg(row.line).arg(Import::FateName(row.fate), row.reason);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case 0:
        return row.line;
    case 1:
        return Import::FateName(row.fate);
    case 2:
        return row.values.value(0);
    default:
        return row.reason;
    }
}

QVariant ImportPlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char16_t* const headings[] = {u"行", u"结果", u"编号", u"原因"};
    return section >= 0 && section < 4 ? QString::fromUtf16(headings[section]) : QVariant();
}
