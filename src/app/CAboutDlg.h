#pragma once
#include "toolkit/CDialog.h"

#include <memory>

namespace Ui {
class CAboutDlg;
}

// "关于 Vorix": the icon, the program's name and version, and "确定".
class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    bool OnInitDialog() override;

    Ui::CAboutDlg* Form() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::CAboutDlg> m_ui;
};
