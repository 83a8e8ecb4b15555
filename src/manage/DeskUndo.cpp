#include "manage/DeskUndo.h"

#include "access/Session.h"
#include "base/Clock.h"
#include "data/CAdoDb.h"
#include "data/CDeskAction.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/RentContact.h"
#include "data/Reservations.h"

namespace {
bool Hold(const QString& text, QString* refusal) {
    *refusal = text;
    return false;
}

// A lookup that came out as wanted; a failed one stops with no refusal (its message is shown).
bool Check(Lookup result, Lookup wanted, const QString& text, QString* refusal) {
    if (result == wanted)
        return true;
    if (result != Lookup::Failed)
        *refusal = text;
    return false;
}

QString Changed() {
    return QStringLiteral("租借记录在这笔操作之后又有变动,不能撤销。");
}

} // namespace

bool DeskUndo::MayUndo(const CDeskAction& action, QString* refusal) {
    const Session& session = Session::Current();
    if (!action.UndoneAt.isEmpty())
        return Hold(QStringLiteral("这笔操作已经撤销过了。"), refusal);
    if (action.At.left(10) != Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd")))
        return Hold(QStringLiteral("只能撤销今天的借出和还回。"), refusal);
    if (action.OptUser != session.UserName() && !session.IsAdministrator())
        return Hold(QStringLiteral("只有做这笔操作的操作员 %1 或管理员才能撤销它。").arg(action.OptUser),
                    refusal);
    return true;
}

namespace {
// What has happened since, that the reverse would undo too.
bool NothingSince(const CDeskAction& action, QString* refusal) {
    QString filmId;
    QString returnDate;
    if (!Check(action.RentNow(&filmId, &returnDate), Lookup::Found,
               QStringLiteral("这笔操作的租借记录已被删除,不能撤销。"), refusal))
        return false;
    if (action.Kind == CDeskAction::kLend) {
        if (!returnDate.isEmpty())
            return Hold(QStringLiteral("影片 %1 借出之后已经还回,请先撤销那次还回。").arg(action.FilmID),
                        refusal);
        if (filmId.compare(action.FilmID, Qt::CaseInsensitive) != 0)
            return Hold(QStringLiteral("这次借出之后影片已更换为 %1,不能撤销。").arg(filmId), refusal);
    } else {
        if (returnDate.isEmpty())
            return Hold(Changed(), refusal);
        if (!Check(CRentInfo().ExistsOpenByFilmId(action.FilmID), Lookup::Missing,
                   QStringLiteral("影片 %1 还回之后又已借出,不能撤销这次还回。").arg(action.FilmID), refusal))
            return false;
        // A disc put aside for a waiting client at the return stays his: the undo would lend it out again.
        Reservations::Hold hold;
        const Lookup held = Reservations::HeldOn(action.FilmID, &hold);
        if (!Check(held, Lookup::Missing,
                   QStringLiteral("影片 %1 还回后已留给预约的客户 %2,不能撤销这次还回。")
                       .arg(action.FilmID, hold.clientId),
                   refusal))
            return false;
    }
    bool same = false;
    if (action.BalanceUnchanged(&same) == Lookup::Failed)
        return false;
    if (!same)
        return Hold(QStringLiteral("客户 %1 的余额在这笔操作之后又有变动,撤销会把那次变动一并抹去,不能撤销。")
                        .arg(action.ClientID),
                    refusal);
    return true;
}

// The reverse of a lending: its rental and contact gone, the film's count back.
bool UnLend(const CDeskAction& action, QString* refusal) {
    CFilmInfo film;
    if (!Check(film.LoadByFilmId(action.FilmID), Lookup::Found,
               QStringLiteral("影片 %1 已不在影片库中,不能撤销。").arg(action.FilmID), refusal))
        return false;
    film.Degree = film.Degree - 1;
    return RentContact::Delete(action.RentID) && CRentInfo().DeleteById(RowKey(action.RentID)) &&
           film.Update(film.ID);
}
} // namespace

bool DeskUndo::Undo(int actionId, const QString& reason, QString* refusal, QString* done) {
    const QString who = Session::Current().UserName();
    CTransaction undoing;
    CDeskAction action;
    if (!Check(action.Load(actionId), Lookup::Found, QStringLiteral("找不到要撤销的操作。"), refusal) ||
        !DeskUndo::MayUndo(action, refusal) || !NothingSince(action, refusal))
        return false;
    if (action.Kind == CDeskAction::kLend ? !UnLend(action, refusal) : !action.ReopenRental())
        return false;
    if (action.BalanceChanged && !action.RestoreBalance())
        return false;
    const QString note = QStringLiteral("撤销%1(#%2):%3").arg(action.Kind).arg(action.ID).arg(reason);
    if ((action.LastLedger > action.FirstLedger && !action.ReverseLedger(who, note)) ||
        !action.MarkUndone(who, reason) || !undoing.Commit())
        return false;
    *done = QStringLiteral("已撤销 %1,原因:%2").arg(action.Text(), reason);
    return true;
}
