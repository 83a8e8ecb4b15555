#pragma once
#include "toolkit/CBrowseDlg.h"

#include <QDate>

class CDataGrid;

// "日结明细": the ledger's rows of one day and operator, in the order written, with the time of
// each action beside the date it carries, so that a back-dated lending shows both.
class CLedgerDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CLedgerDlg(QWidget* parent = nullptr);
    ~CLedgerDlg() override;

    bool OnInitDialog() override;

    QDate m_day;
    QString m_strOperator; // empty for all

private:
    CDataGrid* m_grid;
};
