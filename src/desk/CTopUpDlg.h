#pragma once
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <functional>
#include <memory>

namespace Ui {
class CTopUpDlg;
}
class QBoxLayout;
class QLabel;
class QLineEdit;

// "客户充值": any operator takes cash for a client's balance. The clerk types the amount paid in,
// not the new total; the line under the form shows the balance it will make before 确定. One ledger
// row 充值 and a slip. The client editor keeps its own rules for the balance.
class CTopUpDlg : public CDialog {
    Q_OBJECT
public:
    explicit CTopUpDlg(QWidget* parent = nullptr);
    ~CTopUpDlg() override;

    // The most a balance may reach: what the client editor takes.
    static constexpr float kMostBalance = 9999;

    // Puts "充值(&T)..." at the start of a row of buttons: it tops up the client typed in client,
    // and runs refreshed after a top-up.
    static void OfferAt(QBoxLayout* buttons, QLineEdit* client, std::function<void()> refreshed);

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strClientID;
    double m_fAmount = 0;
    QString m_strOptName;
    // What the last top-up did, in one line for the main window's status bar.
    QString m_strDone;
    Receipt::Slip m_slip;

    Ui::CTopUpDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    bool TopUp(QString* refusal);

    std::unique_ptr<Ui::CTopUpDlg> m_ui;
    QLabel* m_clientInfo;
};
