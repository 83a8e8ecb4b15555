#pragma once
#include "data/ReturnCharge.h"
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <QDateTime>
#include <memory>

class CFilmInfo;
class CRentInfo;
class CodeInfoLine;
class ReturnExtras;
struct ReturnBill;

namespace Ui {
class CReturnDlg;
}
class QLabel;

// "影片还回": closes the out rental of a film after a confirmation that shows the deposit to
// hand back. When the shop charges the days out, the confirmation also shows what they cost and
// what is settled under the form (a waiver, a damage amount), written in the return's transaction.
class CReturnDlg : public CDialog {
    Q_OBJECT
public:
    explicit CReturnDlg(QWidget* parent = nullptr);
    ~CReturnDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strFilmID;
    QString m_strOptName;
    // What the last successful action did, in one line for the main window's status bar.
    QString m_strDone;
    Receipt::Slip m_slip; // the receipt of the return written
    QDateTime m_tmReturnDate;
    QString m_strHeld; // the hold the last return made for a reservation, to tell the clerk

    Ui::CReturnDlg* Form() const { return m_ui.get(); }
    // The waiver and damage fields, shown when the shop charges the days out.
    ReturnExtras* Extras() const { return m_extras; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // The checks before the confirmation, and the rental and film they show.
    bool Find(CRentInfo& rent, CFilmInfo& film, QString* refusal);
    bool Return(int confirmedId, QString* refusal, ReturnBill* bill);
    // With the days out charged: reads the waiver and damage and works out the bill, after the
    // return's own checks; false (with its box shown) when they are refused.
    bool Bill(const CRentInfo& rent, const CFilmInfo& film, ReturnBill* bill);

    std::unique_ptr<Ui::CReturnDlg> m_ui;
    QLabel* m_filmInfo;
    CodeInfoLine* m_infoLine;
    ReturnExtras* m_extras;
    ReturnCharge::Rule m_rule; // as the shop had it when the form opened
};
