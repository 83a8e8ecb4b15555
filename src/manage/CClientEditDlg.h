#pragma once
#include "data/RowKey.h"
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <QDateTime>
#include <memory>

namespace Ui {
class CClientEditDlg;
}

// "编辑客户信息": adds a client, or shows and changes one (its balance is topped up here).
// Anyone may add a client; only an administrator may save changes to an existing one.
class CClientEditDlg : public CDialog {
    Q_OBJECT
public:
    explicit CClientEditDlg(QWidget* parent = nullptr);
    ~CClientEditDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strOldClientID;
    QString m_strID; // the row key as text, set by the opener; empty for a new client
    QDateTime m_tmCreateDate;
    float m_fForegift = 0;
    QString m_strClientID;
    QString m_strPhoneNum;
    float m_fBalance = 0;
    QString m_strRemark;
    Receipt::Slip m_slip; // the receipt of a save that took cash; no title when none did

    Ui::CClientEditDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    bool LoadClient();
    bool Save(QString* refusal);
    // The ledger's rows of the save: the deposit and the balance as changed from the form's
    // first values, the cash the clerk took or handed back.
    bool WriteMoney() const;
    // The deposit and the balance as changed from the form's first values, in fen.
    qint64 DepositChange() const;
    qint64 BalanceChange() const;

    float m_fLoadedForegift = 0; // as read when the form opened; 0 for a new client
    float m_fLoadedBalance = 0;

    std::unique_ptr<Ui::CClientEditDlg> m_ui;
    RowKey m_key = RowKey::FromText(QString()); // no key until an existing client is loaded
};
