#pragma once
#include "toolkit/CDialog.h"

#include <memory>

class CAdodc;

namespace Ui {
class COperatorManageDlg;
}

// "用户管理": the operators by name. Administrators add and delete operators and change anyone's
// password; everyone else may only change his own.
class COperatorManageDlg : public CDialog {
    Q_OBJECT
public:
    explicit COperatorManageDlg(QWidget* parent = nullptr);
    ~COperatorManageDlg() override;

    bool OnInitDialog() override;
    void OnAdd();
    void OnModify();
    void OnDelete();

    CAdodc* DataControl() const { return m_adodc; }
    Ui::COperatorManageDlg* Form() const { return m_ui.get(); }

private:
    CAdodc* m_adodc; // hidden: the list's rows
    std::unique_ptr<Ui::COperatorManageDlg> m_ui;
};
