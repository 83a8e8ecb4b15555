#pragma once
#include "toolkit/CBrowseDlg.h"

#include <functional>
#include <memory>

namespace Ui {
class COutListDlg;
}

// "未还影片": every film out, newest last, with the client's phone, the days out and the deposit
// held; all, monthly or per day, and only those out longer than some days. "还回" takes the row's
// film back through m_returnFilm, which the caller sets (影片还回 in the shell).
// When the shop charges the days out, a last column shows each rental's charge so far.
class COutListDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit COutListDlg(QWidget* parent = nullptr);
    ~COutListDlg() override;

    bool OnInitDialog() override;
    void OnFilter();
    void OnReturn();

    Ui::COutListDlg* Form() const { return m_ui.get(); }

    // Takes the film back over parent; true when it was returned.
    std::function<bool(QWidget* parent, const QString& filmId)> m_returnFilm;

private:
    QString ChargeSoFar() const;

    std::unique_ptr<Ui::COutListDlg> m_ui;
};
