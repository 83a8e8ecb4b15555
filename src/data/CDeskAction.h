#pragma once
// One lending or return of the desk, kept with what undoing it must put back (table DeskAction):
// the client's balance before and after, the rental's operator before a return, and the ledger
// rows it wrote, by their IDs. The desk's writes are one at a time (the write lock), so the rows
// after the last one read when the action began, up to the last one when it ends, are its own:
// whatever kinds of rows the action wrote.
#include "data/CAdoDb.h"

#include <QDate>
#include <QString>

class CDeskAction {
public:
    static const QString kLend;   // 借出
    static const QString kReturn; // 还回

    // Inside the action's transaction, before its first write: its row, with the client's balance
    // and the rental's operator as they are now (rentId 0 for a lending: its rental is yet to come).
    static bool Begin(const QString& kind, const QString& optUser, const QString& clientId, int rentId,
                      const QString& filmId);
    // After its last write: the rental (for a lending, the film's open one), the client's balance
    // and the last ledger row as they are now, into the row Begin wrote.
    static bool Finish();

    // The action of that ID.
    Lookup Load(int id);
    // The last action not undone of the operator that day (by the clock), or of the rental.
    Lookup LoadLastOf(const QString& optUser, const QDate& day);
    Lookup LoadLastOfRent(int rentId);
    // Whether the client's balance is still what the action left (true when it has no client).
    Lookup BalanceUnchanged(bool* same) const;

    // Its rental as it is now: the film and the return date.
    Lookup RentNow(QString* filmId, QString* returnDate) const;
    // The undoing of a return puts its rental back out, with the operator who lent it.
    bool ReopenRental() const;
    // The undoing, inside its transaction: the client's balance as before, the ledger's rows of
    // the action again with the opposite sign (noted), and this row marked undone.
    bool RestoreBalance() const;
    bool ReverseLedger(const QString& optUser, const QString& note) const;
    bool MarkUndone(const QString& optUser, const QString& reason) const;

    // What it was, for the clerk: "借出 V1 给 C1".
    QString Text() const;

    int ID = 0;
    QString At; // yyyy-MM-dd HH:mm:ss, the clock's
    QString OptUser;
    QString Kind;
    int RentID = 0;
    QString FilmID;
    QString ClientID;
    QString RentUser;
    int FirstLedger = 0; // the last ledger row before the action
    int LastLedger = 0;
    bool BalanceChanged = false;
    QString UndoneAt;

private:
    Lookup Read(const QString& where);
};
