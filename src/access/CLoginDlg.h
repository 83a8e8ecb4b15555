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
    // After a login as the administrator with the first password: his row key as text, so that the
    // main window can ask him to change it. Empty after any other login.
    QString m_strFirstPasswordId;

    Ui::CLoginDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    bool MayTry(int* failures);
    void Refuse(const QString& text, const QString& why, int failures);

    std::unique_ptr<Ui::CLoginDlg> m_ui;
};
