#include "app/CBackdropView.h"

#include "access/COperatorManageDlg.h"
#include "app/Artwork.h"
#include "desk/CExchangeDlg.h"
#include "desk/CLendBasketDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "desk/CReserveDlg.h"
#include "desk/CReturnBasketDlg.h"
#include "desk/CReturnDlg.h"
#include "desk/CTopUpDlg.h"
#include "manage/CAuditDlg.h"
#include "manage/CClientManageDlg.h"
#include "manage/CDayEndDlg.h"
#include "manage/CFilmManageDlg.h"
#include "manage/COutListDlg.h"
#include "manage/CRecordManageDlg.h"
#include "manage/CReportsDlg.h"
#include "manage/CUndoDlg.h"

#include <QPainter>

namespace {
// One dialog for one modal run over the main window; the result is not needed here.
template <typename Dialog> void RunDialog(QWidget* view) {
    Dialog dialog(view->window());
    dialog.DoModal();
}

// A desk dialog, whose success is told in the status bar for a while.
template <typename Dialog> void RunDeskDialog(CBackdropView* view) {
    Dialog dialog(view->window());
    if (dialog.DoModal() == IDOK && !dialog.m_strDone.isEmpty())
        emit view->DeskDone(dialog.m_strDone);
}
} // namespace

CBackdropView::CBackdropView(QWidget* parent) : QFrame(parent) {
    // A sunken edge around the client area, the system window colour wherever the picture ends.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void CBackdropView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // The picture at its natural size from the top-left corner; whatever does not fit is clipped.
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.drawPixmap(contentsRect().topLeft(), Artwork::Background());
}

void CBackdropView::OnSettings() {
    RunDialog<CPriceSettingDlg>(this);
}

void CBackdropView::OnLend() {
    RunDeskDialog<CLendDlg>(this);
}

void CBackdropView::OnLendBasket() {
    RunDeskDialog<CLendBasketDlg>(this);
}

void CBackdropView::OnReturn() {
    RunDeskDialog<CReturnDlg>(this);
}

void CBackdropView::OnReturnBasket() {
    RunDeskDialog<CReturnBasketDlg>(this);
}

void CBackdropView::OnExchange() {
    RunDeskDialog<CExchangeDlg>(this);
}

void CBackdropView::OnTopUp() {
    RunDeskDialog<CTopUpDlg>(this);
}

void CBackdropView::OnUndo() {
    QString done;
    if (CUndoDlg::UndoLast(window(), &done))
        emit DeskDone(done);
}

void CBackdropView::OnFilms() {
    RunDialog<CFilmManageDlg>(this);
}

void CBackdropView::OnClients() {
    RunDialog<CClientManageDlg>(this);
}

void CBackdropView::OnOperators() {
    RunDialog<COperatorManageDlg>(this);
}

void CBackdropView::OnRecords() {
    RunDialog<CRecordManageDlg>(this);
}

void CBackdropView::OnOutList() {
    COutListDlg list(window());
    list.m_returnFilm = [](QWidget* parent, const QString& filmId) {
        CReturnDlg back(parent);
        back.m_strFilmID = filmId;
        return back.DoModal() == IDOK;
    };
    list.DoModal();
}

void CBackdropView::OnReserve() {
    RunDialog<CReserveDlg>(this);
}

void CBackdropView::OnDayEnd() {
    CDayEndDlg dayEnd(window());
    dayEnd.m_bAskFloat = true;
    dayEnd.DoModal();
}

void CBackdropView::OnReports() {
    RunDialog<CReportsDlg>(this);
}

void CBackdropView::OnAuditTrail() {
    RunDialog<CAuditDlg>(this);
}
