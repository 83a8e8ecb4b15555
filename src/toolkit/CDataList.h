#pragma once
// A list of one column of a data control's rows, remembering another column of the row picked
// (the operator list shows names and gives back the row's ID).
#include <QListView>

class CAdodc;

class CDataList : public QListView {
    Q_OBJECT
public:
    explicit CDataList(QWidget* parent = nullptr);

    // listField is the column shown, boundColumn the one GetBoundText reads; both by name, found
    // again after every refresh.
    void SetDataSource(CAdodc* adodc, const QString& listField, const QString& boundColumn);
    // The shown text of the selected entry; empty when none is selected.
    QString GetText() const;
    // The bound column of the selected entry; empty when none is selected.
    QString GetBoundText() const;

private:
    void FindColumns();
    int SelectedRow() const;

    CAdodc* m_adodc = nullptr;
    QString m_listField;
    QString m_boundColumn;
    int m_listIndex = -1;
    int m_boundIndex = -1;
};
