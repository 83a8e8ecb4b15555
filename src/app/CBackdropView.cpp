#include "app/CBackdropView.h"

#include "app/Artwork.h"

#include <QPainter>

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
    // Opens the price settings dialog once it exists.
}

void CBackdropView::OnLend() {
    // Opens the lending dialog once it exists.
}

void CBackdropView::OnReturn() {
    // Opens the return dialog once it exists.
}

void CBackdropView::OnExchange() {
    // Opens the exchange dialog once it exists.
}

void CBackdropView::OnFilms() {
    // Opens the film management window once it exists.
}

void CBackdropView::OnClients() {
    // Opens the client management window once it exists.
}

void CBackdropView::OnOperators() {
    // Opens the operator management window once it exists.
}

void CBackdropView::OnRecords() {
    // Opens the rental record browser once it exists.
}
