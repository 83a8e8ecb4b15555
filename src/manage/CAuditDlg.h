#pragma once
#include "toolkit/CBrowseDlg.h"

class CDataGrid;
class QComboBox;
class QDateEdit;
class QLineEdit;

// "操作日志": the trail of changes, newest first, for administrators: narrowed by days, operator,
// kind and the code a row concerns (a film's or a client's code shows its whole story).
class CAuditDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CAuditDlg(QWidget* parent = nullptr);
    ~CAuditDlg() override;

    bool OnInitDialog() override;
    // Shows the rows the filters ask for.
    void OnSearch();

    QDateEdit* m_from;
    QDateEdit* m_to;
    QLineEdit* m_operator;
    QComboBox* m_kind;
    QLineEdit* m_key;
    CDataGrid* m_grid;
};
