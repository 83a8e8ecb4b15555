#pragma once
// "多片还回": films taken back together, scanned one after another into a list that shows each
// film's plan, client, the deposit to hand back and, when the shop charges the days out, what
// they cost; the films that cannot be returned say why on their rows. One total, one
// confirmation, one transaction for all of them, one slip.
#include "desk/ReturnBasket.h"
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <QDateTime>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CReturnBasketDlg : public CDialog {
    Q_OBJECT
public:
    explicit CReturnBasketDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;
    // Enter in the film field: the code typed joins the list, or with the field empty, 确定.
    void OnEnter();
    // Delete: the row chosen leaves the list (the last one, when none is chosen).
    void OnRemove();

    QString m_strFilmID;
    QString m_strOptName;
    QDateTime m_tmReturnDate;
    // What the basket did, in one line for the main window's status bar.
    QString m_strDone;
    Receipt::Slip m_slip;
    // Codes to put into the list at the opening (the single return hands over what was typed).
    QStringList m_firstCodes;

    const ReturnBasket& Basket() const { return m_basket; }

    QLineEdit* filmEdit;
    QDateEdit* dateEdit;
    QLabel* operatorName;
    QLabel* hintLine; // what the last scan did
    QTableWidget* table;
    QLabel* totalLine;
    QPushButton* removeButton;
    QPushButton* okButton;
    QPushButton* cancelButton;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Add(const QString& code);
    void ShowRows();
    void OnDateChanged();

    ReturnBasket m_basket;
};
