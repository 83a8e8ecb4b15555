#pragma once
#include "toolkit/CBrowseDlg.h"

#include <QTimer>
#include <memory>

namespace Ui {
class CPickDlg;
}

// "选择客户" and "选择影片": finds a client by part of the number, the phone or the remark, or a film
// by part of the code, the title or the actor, as typed, or by pinyin initials (PinyinSearch.h);
// Enter or a double click picks the current row's code.
class CPickDlg : public CBrowseDlg {
    Q_OBJECT
public:
    enum class Kind { Client, Film };
    explicit CPickDlg(Kind kind, QWidget* parent = nullptr);
    ~CPickDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;
    // Shows the rows for the text and the check box as they are now.
    void OnSearch();

    QString m_strSearch;         // the text the search starts with
    bool m_bOfferOnlyIn = false; // films: offer "只显示在店的影片", checked
    QString m_strPicked;         // the code picked

    Ui::CPickDlg* Form() const { return m_ui.get(); }

private:
    Kind m_kind;
    std::unique_ptr<Ui::CPickDlg> m_ui;
    QTimer m_pause;
};
