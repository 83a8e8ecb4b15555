#pragma once
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <QDateTime>
#include <memory>

namespace Ui {
class CLendDlg;
}
class QLabel;
class QLineEdit;

// "影片借出": lends a film on the monthly plan (paid from the client's balance) or per day
// (against a cash deposit, from which one day's price is taken at once).
class CLendDlg : public CDialog {
    Q_OBJECT
public:
    explicit CLendDlg(QWidget* parent = nullptr);
    ~CLendDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;
    void OnSelchangeRentType();

    QString m_strClientID;
    QString m_strFilmID;
    QString m_strOptName;
    QDateTime m_tmBorrowDate;
    float m_fForegift = 0;
    int m_nRentType = 0; // 0 "月租", 1 "零租"
    // A per-day customer's contact, if given: kept beside the rental, not as a client.
    QString m_strContactName;
    QString m_strContactPhone;
    // What the last successful action did, in one line for the main window's status bar.
    QString m_strDone;
    Receipt::Slip m_slip; // the receipt of the lending written

    Ui::CLendDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    bool Lend(QString* refusal);
    void Reselect(const QString& refusal);

    std::unique_ptr<Ui::CLendDlg> m_ui;
    QLabel* m_clientInfo;
    QLabel* m_filmInfo;
    QLineEdit* m_contactName;
    QLineEdit* m_contactPhone;
};
