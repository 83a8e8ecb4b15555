#pragma once
#include "toolkit/CDialog.h"

#include <QDate>
#include <memory>

namespace Ui {
class CFloatDlg;
}

// "备用金": the cash this desk's drawer held when the day began, entered once per day and desk
// (DrawerFloat.h). Asked at the day's first 日结 when none is entered yet; it may wait.
class CFloatDlg : public CDialog {
    Q_OBJECT
public:
    explicit CFloatDlg(QWidget* parent = nullptr);
    ~CFloatDlg() override;

    // Asks for today's float of this desk, unless it is entered already; true when one is now.
    static bool AskOnce(QWidget* parent);

    bool OnInitDialog() override;
    void OnOK() override;

    double m_fAmount = 0;
    QDate m_day;

    Ui::CFloatDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::unique_ptr<Ui::CFloatDlg> m_ui;
};
