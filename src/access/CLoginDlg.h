#pragma once
#include "toolkit/CDialog.h"

#include <memory>

namespace Ui {
class CLoginDlg;
}

// "用户登陆": checks an operator's name and password and fills the session.
class CLoginDlg : public CDialog {
    Q_OBJECT
public:
    explicit CLoginDlg(QWidget* parent = nullptr);
    ~CLoginDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strName;
    QString m_strPassword;

    Ui::CLoginDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::unique_ptr<Ui::CLoginDlg> m_ui;
};
