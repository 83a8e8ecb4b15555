#pragma once
#include "toolkit/CDialog.h"

#include <memory>

namespace Ui {
class CAboutDlg;
}

// "关于 Vorix": the icon, the program's name and version, the folder of the shop's data, and "确定".
class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    bool OnInitDialog() override;

    Ui::CAboutDlg* Form() const { return m_ui.get(); }

    // The folder of cddata.mdb and dbBak/, shown under the name; none when empty.
    QString m_strShopFolder;

private:
    std::unique_ptr<Ui::CAboutDlg> m_ui;
};
