#pragma once
#include "toolkit/CDialog.h"

#include <memory>

namespace Ui {
class COperatorAddDlg;
}

// "添加操作员": a new operator with a name, a type and a password. Closes with OK only once the
// operator is stored.
class COperatorAddDlg : public CDialog {
    Q_OBJECT
public:
    explicit COperatorAddDlg(QWidget* parent = nullptr);
    ~COperatorAddDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    int m_nType = 0; // 管理员, 操作员
    QString m_strName;
    QString m_strPassword;
    QString m_strConfirm;

    Ui::COperatorAddDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // The checks and the insert; false with *refusal set for a refusal, or with it empty when the
    // engine's message has been shown.
    bool Add(QString* refusal);

    std::unique_ptr<Ui::COperatorAddDlg> m_ui;
};
