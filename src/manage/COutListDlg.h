#pragma once
#include "toolkit/CBrowseDlg.h"

#include <memory>

namespace Ui {
class COutListDlg;
}

// "未还影片": every film out, newest last, with the client's phone, the days out and the deposit
// held; all, monthly or per day, and only those out longer than some days. "还回" takes the row's
// film back through 影片还回.
class COutListDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit COutListDlg(QWidget* parent = nullptr);
    ~COutListDlg() override;

    bool OnInitDialog() override;
    void OnFilter();
    void OnReturn();

    Ui::COutListDlg* Form() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::COutListDlg> m_ui;
};
