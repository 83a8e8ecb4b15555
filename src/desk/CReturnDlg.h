#pragma once
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <QDateTime>
#include <memory>

class CFilmInfo;
class CRentInfo;

namespace Ui {
class CReturnDlg;
}
class QLabel;

// "影片还回": closes the out rental of a film after a confirmation that shows the deposit to
// hand back.
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

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // The checks before the confirmation, and the rental and film they show.
    bool Find(CRentInfo& rent, CFilmInfo& film, QString* refusal);
    bool Return(int confirmedId, QString* refusal);
    static QString NotOut();

    std::unique_ptr<Ui::CReturnDlg> m_ui;
    QLabel* m_filmInfo;
};
