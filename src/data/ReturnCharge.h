#pragma once
// What a return costs beyond what its lending took, when the shop charges the days a film stays
// out (设置 → 超期收费, off unless an administrator turns it on). The lending paid the first day,
// or the first period of a month's plan; each further day is charged at the medium's day price in
// force at the return (capped per rental if the shop says so), each further period started at the
// month's price from the client's balance. Amounts in whole fen, as the ledger keeps them.
#include "data/CAdoDb.h"

#include <QDate>
#include <QString>

class CSettingInfo;

namespace ReturnCharge {
// The shop's rule, kept in the Options table for every desk.
struct Rule {
    static constexpr int kPlanDays = 30;
    static constexpr int kMostPlanDays = 366;
    bool on = false;
    qint64 capFen = -1; // the most one per-day rental is charged for its days; -1 for no cap
    int planDays = kPlanDays;
};
// The rule as stored; off when nothing is. *found is Failed when the read failed (the engine's
// message is shown), Found otherwise.
Rule Load(Lookup* found);
// Writes the rule, in the caller's transaction if there is one.
bool Save(const Rule& rule);

// What the days out cost one rental.
struct Figures {
    int daysOut = 0;     // calendar days from the lending date to the return date (same day: 0)
    int charged = 0;     // days charged (per day) or further periods (monthly)
    qint64 priceFen = 0; // the day's or the month's price of the medium, as in force now
    qint64 chargeFen = 0;
    bool capped = false; // the per-day cap held the charge down
};
// A lending date that does not read, or a return before it, counts no days.
Figures Compute(const Rule& rule, bool monthly, const QString& borrowDate, const QDate& returned,
                const QString& medium, const CSettingInfo& prices);

// The money of a return once the clerk has settled it: the charge less what an administrator
// waived, a damage amount, and what that leaves. A per-day rental settles against the deposit it
// holds: what goes back never exceeds it, and what it does not cover the customer pays in cash.
// A monthly rental's charge comes from the balance; its damage is paid in cash.
struct Settlement {
    qint64 heldFen = 0;   // the deposit the rental holds (per day); may be negative
    qint64 chargeFen = 0; // the charge less the waiver
    qint64 waivedFen = 0;
    qint64 damageFen = 0;
    bool damageFromDeposit = false;
    qint64 backFen = 0; // 押金找回: handed back
    qint64 dueFen = 0;  // still to pay, in cash
    // Whether the return takes anything beyond the Part's deposit.
    bool Any() const { return chargeFen + waivedFen + damageFen > 0; }
};
Settlement Settle(bool monthly, float held, const Figures& figures, qint64 waivedFen, qint64 damageFen,
                  bool damageFromDeposit);

// The charge so far, in yuan, of the rows of the out list (Record as r, still out), were they
// returned on that day: one more column for that list's statement, named 超期费(元).
QString SoFarColumn(const Rule& rule, const CSettingInfo& prices, const QDate& day);
} // namespace ReturnCharge
