#pragma once
// The trial run's rows in a grid: the file's line, the fate, the code and the reason.
#include "data/ImportPlan.h"

#include <QAbstractTableModel>

class ImportPlanModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetPlan(const Import::Plan* plan); // null empties the grid; the plan outlives the model's use

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const Import::Plan* m_plan = nullptr;
};
