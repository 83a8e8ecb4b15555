#pragma once
#include "toolkit/CBrowseDlg.h"

#include <memory>

namespace Ui {
class CReserveDlg;
}
class QLabel;

// "预约": a client's reservations of titles, added by client number and a disc of the title (any
// disc of it serves, or that one alone), listed with the client's phone, the state and the place in
// the title's queue, filtered by state, cancelled. Anyone signed in adds and cancels; the days a disc
// is held are the administrator's to set.
class CReserveDlg : public CBrowseDlg {
    Q_OBJECT
public:
    explicit CReserveDlg(QWidget* parent = nullptr);
    ~CReserveDlg() override;

    bool OnInitDialog() override;
    void OnOK() override; // 预约
    void OnAdd();
    void OnCancelReservation();
    void OnFilter();
    void OnHoldDays(int days);

    Ui::CReserveDlg* Form() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::CReserveDlg> m_ui;
    QLabel* m_info;
};
