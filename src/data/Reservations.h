#pragma once
// The rules of the reservations' queue, each run in the caller's transaction when there is one
// (CTransaction), else in one of its own: a disc in the shop goes to the first waiting
// reservation of its title it can serve; a hold lapses the day after its last day and the disc
// passes on. Lapsed holds are settled whenever a desk looks (Settle), there is no timer.
#include "data/CAdoDb.h"

#include <QDate>
#include <QString>

namespace Reservations {
// A disc held for a client: the reservation, the client and his phone, the title, the disc and
// the last day it is held. id 0: no hold.
struct Hold {
    int id = 0;
    QString clientId;
    QString phone;
    QString title;
    QString filmId;
    QString until;
};

// The days a disc is held, as the shop set them (Options), 3 when never set.
inline constexpr const char* kHoldDaysOption = "ReserveHoldDays";
inline constexpr int kDefaultHoldDays = 3;
int HoldDays();
bool SetHoldDays(int days);

// Holds whose last day is before today become 已过期, and each of their discs passes on. False
// when a statement failed (shown, unless quiet and only the first read failed).
bool Settle(const QDate& today, bool quiet = false);
// The disc, in the shop and held for no one, goes to the first waiting reservation of its title
// that it serves; *hold says to whom (id 0: no one waits for it).
bool PassOn(const QString& filmId, const QDate& today, Hold* hold);
// The hold on a disc, if any.
Lookup HeldOn(const QString& filmId, Hold* hold, bool quiet = false);

// A lending of the disc to the client (empty for a per-day lending): refused when the disc is held
// for another client (*other names him; returns false); else the client's own reservation of the
// title, waiting or held, is taken with this disc, and a disc held for him before passes on.
// False with other->id 0 when a statement failed.
bool Lend(const QString& clientId, const QString& filmId, const QDate& today, Hold* other);

// Adds a client's reservation of the disc's title, or of that disc alone; a disc free in the shop
// is held for him at once (*hold). *refusal says why it was not added (empty: a failure, shown).
bool Add(const QString& clientId, const QString& filmId, bool thisDiscOnly, const QDate& today,
         const QString& optUser, Hold* hold, QString* refusal);
// Cancels a waiting or held reservation; a disc it held passes on (*passed). *refusal when it is
// no longer open.
bool Cancel(int id, const QDate& today, Hold* passed, QString* refusal);

// The open (waiting or held) reservations a deletion would cancel: the client's; or those of the
// film's disc, and those of its title when it is the title's last disc. -1 when the read failed.
int OpenOfClient(const QString& clientId);
int OpenOfFilm(const QString& filmId);
bool CancelOfClient(const QString& clientId, const QDate& today);
bool CancelOfFilm(const QString& filmId, const QDate& today);
} // namespace Reservations
