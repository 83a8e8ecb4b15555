#include "desk/LendFilm.h"

#include "data/CDeskAction.h"
#include "data/CLedgerInfo.h"
#include "data/CRentInfo.h"
#include "data/CSettingInfo.h"
#include "desk/DeskReserve.h"
#include "desk/DeskRules.h"

bool LendFilm::Check(const Request& ask, Lent* lent, QString* refusal) {
    const QString wrongFilm = QStringLiteral("影片编号错误!");
    if (!Desk::Check(CFilmInfo().ExistsByFilmId(ask.filmId), Lookup::Found, wrongFilm, refusal) ||
        !Desk::Check(CRentInfo().ExistsOpenByFilmId(ask.filmId), Lookup::Missing,
                     QStringLiteral("此影片已经借出,请选择其它影片!"), refusal))
        return false;
    CSettingInfo prices;
    if (ask.monthly && !Desk::Check(lent->client.LoadByClientId(ask.clientId), Lookup::Found,
                                    QStringLiteral("客户编号错误!"), refusal))
        return false;
    // A price is never taken from a failed read: the lending stops there.
    if (!Desk::Check(lent->film.LoadByFilmId(ask.filmId), Lookup::Found, wrongFilm, refusal) ||
        prices.Load() == Lookup::Failed)
        return false;
    if (ask.monthly) {
        lent->price = Desk::MonthPrice(prices, lent->film.Type);
        if (lent->client.Balance - lent->price <= 0)
            return Desk::Hold(QStringLiteral("月租客户的余额不足,不能借出影片!"), refusal);
    } else {
        // No lower bound: a deposit below the day's price leaves a negative amount held.
        lent->price = Desk::DayPrice(prices, lent->film.Type);
        lent->held = ask.deposit - lent->price;
    }
    return true;
}

namespace {
// The money of the lending: the month's price from the balance, or the day's price and the
// deposit held, together the cash taken.
bool WriteLedger(const LendFilm::Request& ask, const LendFilm::Lent& lent, const QString& day) {
    CLedgerInfo money;
    money.Day = day;
    money.OptUser = ask.optUser;
    money.ClientID = ask.clientId;
    money.FilmID = ask.filmId;
    money.RentID = CLedgerInfo::kOpenRental;
    money.Kind = ask.monthly ? CLedgerInfo::kMonthCharge : CLedgerInfo::kDayPrice;
    money.Amount = CLedgerInfo::Fen(lent.price);
    money.Note = ask.note;
    if (!money.Insert())
        return false;
    if (ask.monthly)
        return true;
    money.Kind = CLedgerInfo::kDepositIn;
    money.Amount = CLedgerInfo::Fen(lent.held);
    return money.Insert();
}
} // namespace

bool LendFilm::Write(const Request& ask, Lent* lent, QString* refusal) {
    lent->film.Degree = lent->film.Degree + 1;
    if (!DeskReserve::AtLending(ask.clientId, ask.filmId, refusal))
        return false;
    CRentInfo rent;
    rent.ClientID = ask.clientId;
    rent.FilmID = ask.filmId;
    rent.Type = ask.monthly ? Desk::kMonthly : Desk::kDaily;
    rent.Foregift = ask.monthly ? 0 : lent->held;
    rent.BorrowDate = Desk::DateText(ask.borrowDate);
    rent.ReturnDate.clear();
    rent.OptUser = ask.optUser;
    if (!CDeskAction::Begin(CDeskAction::kLend, ask.optUser, ask.clientId, 0, ask.filmId))
        return false;
    if (ask.monthly) {
        lent->client.Balance = lent->client.Balance - lent->price;
        if (!lent->client.Update(lent->client.ID))
            return false;
    }
    if (!lent->film.Update(lent->film.ID) || !rent.Insert() || !WriteLedger(ask, *lent, rent.BorrowDate))
        return false;
    if (!ask.monthly && !ask.contact.IsEmpty() && !RentContact::InsertForOpenRental(ask.filmId, ask.contact))
        return false;
    return CDeskAction::Finish();
}
