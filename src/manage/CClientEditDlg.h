#pragma once
#include "data/CClientInfo.h"
#include "data/RowKey.h"
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>

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
    // A save that found the row changed elsewhere hands it back in *changed, and writes nothing.
    bool Save(QString* refusal, std::optional<CClientInfo>* changed);
    // Inside the save's transaction: the row is still as the form read it. Else the refusal says
    // what changed (the row gone, or its fields and their values now).
    bool StillAsLoaded(QString* refusal, std::optional<CClientInfo>* changed) const;
    // The fields the form shows that differ between the row as read and now, with their values now.
    QStringList ChangesSinceLoaded(const CClientInfo& now) const;
    // The form takes the row as another desk left it: its changed fields show the new values, the
    // others keep what the clerk typed, and later saves compare with this row.
    void TakeChanges(const CClientInfo& now);
    // The ledger's rows of the save: the deposit and the balance as changed from the form's
    // first values, the cash the clerk took or handed back.
    bool WriteMoney() const;
    bool WriteTrail(const CClientInfo& after) const;
    // The deposit and the balance as changed from the form's first values, in fen.
    qint64 DepositChange() const;
    qint64 BalanceChange() const;

    CClientInfo m_loaded; // the row as the form read it; all empty for a new client

    std::unique_ptr<Ui::CClientEditDlg> m_ui;
    RowKey m_key = RowKey::FromText(QString()); // no key until an existing client is loaded
};
