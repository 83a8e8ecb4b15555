#pragma once
// The main window's client area: shows the background picture and handles the desk and
// management commands.
#include <QFrame>

class CBackdropView : public QFrame {
    Q_OBJECT
public:
    explicit CBackdropView(QWidget* parent = nullptr);

    // Commands. Each opens its dialog for one modal run.
    void OnSettings();
    void OnLend();
    // Several films for one customer in one lending.
    void OnLendBasket();
    void OnReturn();
    // Several films taken back together: one list, one total, one confirmation.
    void OnReturnBasket();
    void OnExchange();
    void OnTopUp();
    // Undoes the operator's last lending or return of today, after naming it and asking why.
    void OnUndo();
    void OnFilms();
    void OnClients();
    void OnOperators();
    void OnRecords();
    void OnOutList();
    void OnDayEnd();
    void OnReserve();
    void OnReports();
    void OnAuditTrail();

signals:
    // A desk dialog has done this, in one line for the status bar.
    void DeskDone(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};
