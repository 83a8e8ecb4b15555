#include "desk/ReturnSteps.h"

#include "data/CAdoDb.h"
#include "data/CDeskAction.h"
#include "data/CFilmInfo.h"
#include "data/CLedgerInfo.h"
#include "data/CRentInfo.h"
#include "data/ReturnCharge.h"
#include "desk/DeskReserve.h"
#include "desk/DeskRules.h"
#include "desk/ReturnBill.h"

QString ReturnSteps::NotInStock() {
    return QStringLiteral("影片编号错误,影片库中未包含此编号!");
}

QString ReturnSteps::NotOut() {
    return QStringLiteral("影片编号错误,此影片未借出!");
}

bool ReturnSteps::Find(const QString& filmId, CRentInfo& rent, CFilmInfo& film, QString* refusal) {
    if (filmId.isEmpty())
        return Desk::Hold(QStringLiteral("未填写影片编号!"), refusal);
    return Desk::Check(CFilmInfo().ExistsByFilmId(filmId), Lookup::Found, NotInStock(), refusal) &&
           Desk::Check(CRentInfo().ExistsOpenByFilmId(filmId), Lookup::Found, NotOut(), refusal) &&
           Desk::Check(rent.LoadOpenByFilmId(filmId), Lookup::Found, NotOut(), refusal) &&
           Desk::Check(film.LoadByFilmId(filmId), Lookup::Found, NotInStock(), refusal);
}

namespace {
// The bill worked out again under the write lock, from the rule, the prices and the balance as
// they are now: what was confirmed is written only if it still holds.
bool Charge(const CRentInfo& rent, const ReturnSteps::Writing& what, ReturnBill* bill, QString* refusal) {
    Lookup found = Lookup::Found;
    const ReturnCharge::Rule rule = ReturnCharge::Load(&found);
    ReturnBill now;
    if (found == Lookup::Failed || !now.Make(rule, rent, bill->medium, what.returned.date(), bill->entered))
        return false;
    if (now.money.chargeFen != bill->money.chargeFen || now.money.waivedFen != bill->money.waivedFen ||
        now.money.backFen != bill->money.backFen || now.money.dueFen != bill->money.dueFen)
        return Desk::Hold(Desk::ChangedMeanwhile(), refusal);
    if (!now.Write(rent, what.optUser))
        return false;
    *bill = now;
    return true;
}
} // namespace

bool ReturnSteps::Write(const Writing& what, ReturnBill* bill, CRentInfo* rent, QString* held,
                        QString* refusal) {
    if (!Desk::Check(rent->LoadOpenByFilmId(what.filmId), Lookup::Found, NotOut(), refusal))
        return false;
    if (rent->ID != what.confirmedId)
        return Desk::Hold(Desk::ChangedMeanwhile(), refusal);
    if (!CDeskAction::Begin(CDeskAction::kReturn, what.optUser, rent->ClientID, rent->ID, rent->FilmID))
        return false;
    rent->ReturnDate = Desk::DateText(what.returned);
    rent->OptUser = what.optUser;
    if (!rent->Update(rent->ID))
        return false;
    // A per-day rental hands its deposit back, in the return's transaction.
    if (rent->Type != Desk::kMonthly) {
        CLedgerInfo money;
        money.Day = rent->ReturnDate;
        money.OptUser = what.optUser;
        money.Kind = CLedgerInfo::kDepositOut;
        money.Amount = CLedgerInfo::Fen(rent->Foregift);
        money.ClientID = rent->ClientID;
        money.FilmID = rent->FilmID;
        money.RentID = rent->ID;
        money.Note = what.ledgerNote;
        if (!money.Insert())
            return false;
    }
    if (bill && !Charge(*rent, what, bill, refusal))
        return false;
    if (!DeskReserve::AtReturn(rent->FilmID, held))
        return false;
    return CDeskAction::Finish();
}
