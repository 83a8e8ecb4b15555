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
    // The prices and the ledger's note, in one transaction; nothing when the prices were changed
    // elsewhere since the form read them (then *now and *changedElsewhere say how).
    bool Save(CSettingInfo prices, CSettingInfo* now, QStringList* changedElsewhere);
    // Inside the save's transaction: the prices are still as the form read them. Else *now holds
    // them as they are and *changes names each that changed, with its value now.
    bool StillAsLoaded(CSettingInfo* now, QStringList* changes) const;
    // The form takes the prices as another desk left them: the changed ones show the new values,
    // the others keep what the clerk typed, and later saves compare with these.
    void TakeChanges(const CSettingInfo& now);

    CSettingInfo m_loaded; // the prices as the form opened on them: the ledger's "from"
    std::unique_ptr<Ui::CPriceSettingDlg> m_ui;
};
