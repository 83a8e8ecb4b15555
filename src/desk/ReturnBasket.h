#pragma once
// The films of one return of several (多片还回), each checked as the single return checks it when
// it is scanned, with what it hands back and what its days cost; written all together in one
// transaction, each film with exactly the writes of a single return, or not at all.
#include "data/CRentInfo.h"
#include "data/ReturnCharge.h"
#include "desk/ReturnBill.h"
#include "toolkit/Receipt.h"

#include <QDateTime>
#include <QList>
#include <QString>

class ReturnBasket {
public:
    struct Row {
        QString code;    // as scanned
        QString refusal; // why it cannot be returned; empty when it can
        CRentInfo rent;  // the open rental as read
        QString filmName;
        bool charged = false; // the shop charges the days out and this rental owes some
        ReturnBill bill;      // with the shop's rule on: what the days cost
        QString held;         // after the return: the hold it made for a waiting client, said to the clerk
        QString heldFor;      // the same, short, for its row

        bool Accepted() const { return refusal.isEmpty(); }
        bool Monthly() const;
        QString Film() const;     // V1《英雄》, or the code alone when the film is not known
        qint64 BackFen() const;   // the deposit handed back
        qint64 ChargeFen() const; // the days' or periods' charge
        qint64 DueFen() const;    // what the deposit does not cover, paid in cash
    };
    struct Totals {
        int films = 0;
        qint64 backFen = 0;
        qint64 chargeFen = 0;
        qint64 dueFen = 0;
    };

    // The shop's rule for the days out, as the form read it when it opened.
    void SetRule(const ReturnCharge::Rule& rule) { m_rule = rule; }
    const ReturnCharge::Rule& Rule() const { return m_rule; }

    // Checks the film and adds its row, refused ones too; the row's index. A film already in the
    // basket is not added twice: *already is set and the index is that of its row. -1 when a read
    // failed (its message is shown).
    int Add(const QString& code, const QDate& returned, bool* already);
    void Remove(int index);
    const QList<Row>& Rows() const { return m_rows; }
    Totals Total() const;

    // Checks every row again, for that return date. The films accepted before and refused now are
    // listed in *changed (the film and why). False when a read failed.
    bool Recheck(const QDate& returned, QStringList* changed);

    // The confirmation's text: each film accepted, those left out, the totals, the question.
    QString ConfirmText() const;
    // Returns every accepted film in one transaction; false with *refusal naming the film that
    // stopped it (its row then says why), or with no refusal when a statement failed. Nothing is
    // written unless everything is.
    bool Write(const QDateTime& returned, const QString& optUser, QString* refusal);

    // After the return: the status line, the box that ends it, the slip.
    QString Done() const;
    QString Final() const;
    Receipt::Slip Slip(const QString& optUser) const;
    // The note of the ledger's rows the basket writes, for the day's report.
    QString LedgerNote() const;

private:
    // The checks of the single return, for one row; false when a read failed.
    bool Check(Row* row, const QDate& returned) const;
    QList<const Row*> Accepted() const;

    ReturnCharge::Rule m_rule;
    QList<Row> m_rows;
};
