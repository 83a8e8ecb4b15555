#pragma once
// The bill of a return when the shop charges the days out: what the days cost, what the clerk
// settled, and how the return says it (its confirmation, the line beside the form, the status
// line, the slip) and writes it (the balance, the ledger's rows).
#include "data/CClientInfo.h"
#include "data/ReturnCharge.h"
#include "desk/DeskLines.h"
#include "desk/ReturnExtras.h"

#include <QDate>
#include <QList>
#include <QPair>

class CRentInfo;
class CSettingInfo;

struct ReturnBill {
    bool monthly = false;
    QString medium; // the film's Type, which picks the price
    ReturnCharge::Figures figures;
    ReturnCharge::Settlement money;
    ReturnExtras::Entered entered;
    bool hasClient = false; // a monthly rental's client still in the file
    CClientInfo client;     // its balance as read, under the return's lock when written
    float balanceAfter = 0;

    // Reads what the bill needs (the prices in force, a monthly client) and works it out; false
    // when a read failed (the engine's message is shown). A monthly rental whose client is gone
    // is charged nothing: there is no balance to take it from.
    bool Make(const ReturnCharge::Rule& rule, const CRentInfo& rent, const QString& filmType,
              const QDate& returned, const ReturnExtras::Entered& entered);

    // The lines the confirmation gains before its question; the deposit line's amount.
    QString ConfirmLines() const;
    QString BackText() const;
    // The status line after the return, from the film's name as the desk shows it.
    QString Done(const QString& film, const QString& clientId) const;
    QList<QPair<QString, QString>> SlipAmounts() const;
    // The balance and the ledger's rows, in the return's transaction; the rental already written.
    bool Write(const CRentInfo& rent, const QString& optUser);

    // The line beside the return's form, while the clerk types: the rental as DeskLines::Rental
    // shows it, and when something is charged, what and what goes back.
    static DeskLines::Line Line(const ReturnCharge::Rule& rule, const QString& filmId, const QDate& returned,
                                const ReturnExtras::Entered& entered);

private:
    void Work(const ReturnCharge::Rule& rule, const QString& borrowDate, const QDate& returned,
              const QString& medium, float held, const CSettingInfo& prices);
    QString ChargeText() const;
    QString ChargeNote() const;
    QStringList Parts() const; // the figures, as the status line and the form's line list them
};
