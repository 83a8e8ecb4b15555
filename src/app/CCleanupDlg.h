#pragma once
#include "toolkit/CDialog.h"

#include <functional>
#include <memory>

namespace Ui {
class CCleanupDlg;
}

// "数据库整理": an administrator purges the rental records of returned films, by plan.
class CCleanupDlg : public CDialog {
    Q_OBJECT
public:
    explicit CCleanupDlg(QWidget* parent = nullptr);
    ~CCleanupDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    bool m_bMonthly = false;
    bool m_bDaily = false;

    Ui::CCleanupDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    bool Purge(const QString& type, const std::function<bool()>& purge);

    std::unique_ptr<Ui::CCleanupDlg> m_ui;
};
