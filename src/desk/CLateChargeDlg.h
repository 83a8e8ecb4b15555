#pragma once
#include "toolkit/CDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// "超期收费": whether a return charges the days a film stayed out beyond what its lending paid,
// the most one per-day rental is charged, and the days one month's plan covers; kept in the
// shop's file for every desk. Off until an administrator turns it on; everyone may look.
class CLateChargeDlg : public CDialog {
    Q_OBJECT
public:
    explicit CLateChargeDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    QCheckBox* m_on;
    QLineEdit* m_cap;  // yuan; empty for no cap
    QLineEdit* m_plan; // days
    QPushButton* m_okButton;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    double m_fCap = 0;
    int m_nPlanDays = 0;
};
