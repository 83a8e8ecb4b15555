#pragma once
// One row of the Reservation table: a client waiting for a title (any disc of it) or for one disc,
// first come first served per title; the disc put aside for him and the last day it is held. The
// rules of the queue are in data/Reservations.h.
#include "data/CAdoDb.h"

#include <QString>

class CReserveInfo {
public:
    // The states, as stored and shown.
    static const QString kWaiting;   // 等待: no disc for him yet
    static const QString kHeld;      // 已留片: HeldFilmID is put aside for him until HeldUntil
    static const QString kTaken;     // 已取: lent to him
    static const QString kLapsed;    // 已过期: he did not come while it was held
    static const QString kCancelled; // 已取消
    // Every state, in the order the window's filter offers them.
    static QStringList States();
    // "State IN ('等待','已留片')" over the column named: the reservations still open.
    static QString OpenCondition(const QString& column = QStringLiteral("State"));

    bool Insert();
    Lookup LoadById(int id);

    int ID = 0;
    QString ClientID;
    QString FilmName; // the title
    QString FilmID;   // the one disc asked for; empty when any disc of the title serves
    QString AskDate;  // yyyy-MM-dd
    QString State;
    QString HeldFilmID;
    QString HeldUntil; // yyyy-MM-dd, the last day the disc is held
    QString DoneDate;  // the day it was taken, lapsed or cancelled
    QString OptUser;
};

// The statement of the reservations window: every reservation, or those of one state, in the
// order asked, with the client's phone and remark and the place in its title's queue.
namespace ReserveGrid {
QString List(const QString& state);
} // namespace ReserveGrid
