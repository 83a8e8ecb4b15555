#pragma once
#include "toolkit/CDialog.h"

#include <memory>

namespace Ui {
class CPasswordDlg;
}

// "修改密码": a new password for one operator, given his current one. The opener sets m_strID,
// the operator's row key as text, before the dialog runs.
class CPasswordDlg : public CDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    ~CPasswordDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_strID;
    QString m_strName;
    QString m_strOldPwd;
    QString m_strNewPwd;
    QString m_strConfirm;
    // A line shown above the fields, saying why the dialog was opened; none when empty.
    QString m_strReason;

    Ui::CPasswordDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    enum class Outcome { Changed, Refused, Failed, Gone };
    // The check of the old password and the update; a refusal's text goes to *refusal.
    Outcome Change(QString* refusal);

    std::unique_ptr<Ui::CPasswordDlg> m_ui;
};
