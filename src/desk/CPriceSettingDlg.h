#pragma once
#include "data/CSettingInfo.h"
#include "toolkit/CDialog.h"

#include <memory>

namespace Ui {
class CPriceSettingDlg;
}

// "设置": the four rental prices. Everyone may look; only an administrator may save.
class CPriceSettingDlg : public CDialog {
    Q_OBJECT
public:
    explicit CPriceSettingDlg(QWidget* parent = nullptr);
    ~CPriceSettingDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    float m_fMonthVcd = 0;
    float m_fMonthDvd = 0;
    float m_fDayVcd = 0;
    float m_fDayDvd = 0;

    Ui::CPriceSettingDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CSettingInfo m_loaded; // the prices as the form opened on them: the ledger's "from"
    std::unique_ptr<Ui::CPriceSettingDlg> m_ui;
};
