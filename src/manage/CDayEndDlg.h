#pragma once
#include "toolkit/CBrowseDlg.h"

#include <QDate>
#include <memory>

namespace Ui {
class CDayEndDlg;
}

// "日结": the ledger of one day (by the clock) for one operator or all, per kind the count, the sum
// and the cash it moved, with the cash the drawer should have gained; the counted cash beside it
// shows the drawer over or short. An operator sees his own day, an administrator anyone's.
// "明细" lists the day's rows one by one.
class CDayEndDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CDayEndDlg(QWidget* parent = nullptr);
    ~CDayEndDlg() override;

    bool OnInitDialog() override;
    void OnFilter();
    void OnCounted();
    void OnDetail();

    // The operator shown; empty for all.
    QString Operator() const;
    Ui::CDayEndDlg* Form() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::CDayEndDlg> m_ui;
    qint64 m_expected = 0; // fen the drawer should have gained
    bool m_cashKnown = false;
};
