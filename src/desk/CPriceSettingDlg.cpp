#include "desk/CPriceSettingDlg.h"

#include "access/Session.h"
#include "data/CSettingInfo.h"
#include "desk/DeskRules.h"
#include "toolkit/DataExchange.h"
#include "ui_CPriceSettingDlg.h"

CPriceSettingDlg::CPriceSettingDlg(QWidget* parent)
    : CDialog(parent), m_ui(std::make_unique<Ui::CPriceSettingDlg>()) {
    m_ui->setupUi(this);
    ConnectButtons(m_ui->okButton, m_ui->cancelButton);
}

CPriceSettingDlg::~CPriceSettingDlg() = default;

void CPriceSettingDlg::DoDataExchange(CDataExchange& dx) {
    dx.Real(m_ui->monthVcdEdit, m_fMonthVcd, 0, Desk::kMaxMoney);
    dx.Real(m_ui->monthDvdEdit, m_fMonthDvd, 0, Desk::kMaxMoney);
    dx.Real(m_ui->dayVcdEdit, m_fDayVcd, 0, Desk::kMaxMoney);
    dx.Real(m_ui->dayDvdEdit, m_fDayDvd, 0, Desk::kMaxMoney);
}

bool CPriceSettingDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CSettingInfo prices;
    // A failed read opens no form: its zeros would be saved over the real prices.
    if (prices.Load() == Lookup::Failed)
        return false;
    m_fMonthVcd = prices.MonthVcd;
    m_fMonthDvd = prices.MonthDvd;
    m_fDayVcd = prices.DayVcd;
    m_fDayDvd = prices.DayDvd;
    UpdateData(false);
    m_ui->okButton->setEnabled(Session::Current().IsAdministrator());
    m_ui->monthVcdEdit->setFocus();
    return true;
}

void CPriceSettingDlg::OnOK() {
    if (!m_ui->okButton->isEnabled() || !UpdateData(true))
        return; // Enter on a disabled "确定" saves nothing
    CSettingInfo prices;
    prices.MonthVcd = m_fMonthVcd;
    prices.MonthDvd = m_fMonthDvd;
    prices.DayVcd = m_fDayVcd;
    prices.DayDvd = m_fDayDvd;
    if (!prices.Update())
        return;
    EndDialog(IDOK);
}
