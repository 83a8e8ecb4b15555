#pragma once
// One film lent, as the lending form lends it, from the film's own checks on: the checks and
// reads first, then the reservation and the writes, each in the caller's transaction. The lending
// form lends one film this way, the basket several in one transaction.
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/RentContact.h"

#include <QDateTime>
#include <QString>

namespace LendFilm {
// What the clerk asked for; the client's and the deposit's own checks have passed.
struct Request {
    bool monthly = true;
    QString clientId; // empty per day
    QString filmId;
    float deposit = 0; // as typed, per day
    QDateTime borrowDate;
    QString optUser;
    RentContact::Contact contact; // per day, when given
    QString note;                 // on the ledger's rows
};

// What the checks read and worked out, and the writes write.
struct Lent {
    CClientInfo client; // monthly only
    CFilmInfo film;
    float price = 0; // the month's or the day's
    float held = 0;  // per day: the deposit less the day's price
};

// The film exists and is in the shop; the client, the film and the prices are read; on the month
// the balance must stay above zero after the price. No write. False with the refusal in *refusal,
// or with none when a read failed (its message is shown).
bool Check(const Request& ask, Lent* lent, QString* refusal);
// After Check: the reservations, then the rows of the lending (the desk's action, the client's
// balance, the film's count, the rental, the ledger, the contact). *lent is as written.
bool Write(const Request& ask, Lent* lent, QString* refusal);
} // namespace LendFilm
