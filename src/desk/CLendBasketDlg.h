#pragma once
#include "desk/LendBasket.h"
#include "toolkit/CDialog.h"
#include "toolkit/Receipt.h"

#include <QDateTime>
#include <QTimer>
#include <memory>

namespace Ui {
class CLendBasketDlg;
}
class QBoxLayout;
class QLabel;
class QLineEdit;

// "多片借出": several films lent to one customer at once. The client once, then film after film
// by scanner or F4, each checked as it is added with its reason on its row, the running total
// and, on the month, the balance after them all; 确定 lends them in one transaction.
class CLendBasketDlg : public CDialog {
    Q_OBJECT
public:
    explicit CLendBasketDlg(QWidget* parent = nullptr);
    ~CLendBasketDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;
    void OnSelchangeRentType();
    // A film scanned: checked at once and put on the list; the film field is left for the next.
    void AddFilm(const QString& filmId);
    void RemoveRow(int row);

    // A button 多片借出 beside a lending form's own, enabled while a client number is typed on the
    // month: the basket opens on that client and the film typed, and once it has lent, the form
    // closes as done with the basket's line in *done.
    static void OfferAt(CDialog* lend, QBoxLayout* buttons, QLineEdit* client, QLineEdit* film,
                        QString* done);

    QString m_strClientID;
    QStringList m_films; // put on the list when the dialog opens
    QString m_strOptName;
    QDateTime m_tmBorrowDate;
    float m_fForegift = 0; // per film, per day
    int m_nRentType = 0;   // 0 "月租", 1 "零租"
    QString m_strContactName;
    QString m_strContactPhone;
    // What the lending did, in one line for the main window's status bar, and its slip.
    QString m_strDone;
    Receipt::Slip m_slip;

    Ui::CLendBasketDlg* Form() const { return m_ui.get(); }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LendFilm::Request Typed() const;
    // Checks the list again as the form stands; false when a read failed.
    bool Review();
    void Show();
    void ShowTotals();
    void Said(const QString& text);

    std::unique_ptr<Ui::CLendBasketDlg> m_ui;
    QList<LendBasket::Item> m_items;
    QLabel* m_clientInfo;
    QLabel* m_scanLine;
    QLineEdit* m_contactName;
    QLineEdit* m_contactPhone;
    QTimer m_typing; // a change of the client or the deposit is looked at once typing pauses
};
