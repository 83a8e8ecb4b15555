#pragma once
#include "toolkit/CBrowseDlg.h"

#include <QDate>
#include <memory>

namespace Ui {
class CDayEndDlg;
}
class QLabel;

// "日结": the ledger of one day (by the clock) for one operator or all, per kind the count, the sum
// and the cash it moved; with the day's opening float (备用金) the cash the drawer should hold, and
// the counted cash beside it shows the drawer over or short. An operator sees his own day, an administrator
// anyone's. "明细" lists the day's rows one by one.
class CDayEndDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CDayEndDlg(QWidget* parent = nullptr);
    ~CDayEndDlg() override;

    bool OnInitDialog() override;
    void OnFilter();
    void OnCounted();
    // Reads the counted cash with the standard prompt (Enter in its field, and before printing).
    bool ReadCounted();
    void OnDetail();

    // Asks for today's float of this desk at the opening, if none is entered (the shell sets it).
    bool m_bAskFloat = false;

    // The operator shown; empty for all.
    QString Operator() const;
    Ui::CDayEndDlg* Form() const { return m_ui.get(); }

    // Under the printed rows: the cash lines as the window shows them, the counted cash and the
    // difference included.
    bool PrintNotes(QStringList* notes) override;

private:
    std::unique_ptr<Ui::CDayEndDlg> m_ui;
    qint64 m_expected = 0; // fen the drawer should hold: the float and what it gained
    QLabel* m_floatLabel;
    QLabel* m_floatValue;
    bool m_cashKnown = false;
};
