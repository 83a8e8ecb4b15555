#include "desk/LendBasket.h"

#include "data/CLedgerInfo.h"
#include "desk/DeskLines.h"
#include "desk/DeskReserve.h"
#include "desk/DeskRules.h"
#include "desk/LendContact.h"
#include "toolkit/Money.h"

#include <optional>

namespace {
LendFilm::Request For(const LendFilm::Request& base, const QString& filmId) {
    LendFilm::Request ask = base;
    ask.filmId = filmId;
    return ask;
}
} // namespace

bool LendBasket::Review(const LendFilm::Request& base, QList<Item>* items) {
    std::optional<float> balance; // what the films before have left
    for (Item& item : *items) {
        item = Item(item.filmId);
        if (base.monthly && base.clientId.isEmpty()) {
            item.reason = QStringLiteral("未填写客户编号!");
            continue;
        }
        if (!LendFilm::Check(For(base, item.filmId), &item.lent, &item.reason)) {
            if (item.reason.isEmpty())
                return false;
            // A film out is refused before it is read: read it still, for its row to name it.
            if (item.lent.film.ID == 0 && item.lent.film.LoadByFilmId(item.filmId) == Lookup::Failed)
                return false;
            continue;
        }
        if (base.monthly) {
            if (!balance)
                balance = item.lent.client.Balance;
            item.before = *balance;
            item.left = *balance - item.lent.price;
            // The lending's own test, on what the films before it leave.
            if (item.left <= 0) {
                item.reason = QStringLiteral("月租客户的余额不足,不能借出影片!");
                continue;
            }
        }
        if (!DeskReserve::HeldForOther(base.clientId, item.filmId, &item.reason)) {
            if (item.reason.isEmpty())
                return false;
            continue;
        }
        if (base.monthly)
            balance = item.left;
    }
    return true;
}

LendBasket::Totals LendBasket::Sum(const LendFilm::Request& base, const QList<Item>& items) {
    Totals sum;
    for (const Item& item : items) {
        if (!item.Accepted())
            continue;
        if (sum.films++ == 0)
            sum.balance = CLedgerInfo::Fen(item.before);
        sum.left = CLedgerInfo::Fen(item.left);
        sum.prices += CLedgerInfo::Fen(item.lent.price);
        if (!base.monthly) {
            sum.deposits += CLedgerInfo::Fen(base.deposit);
            sum.held += CLedgerInfo::Fen(item.lent.held);
        }
    }
    return sum;
}

bool LendBasket::Lend(const LendFilm::Request& base, QList<Item>* items, QString* refusal) {
    CTransaction basket;
    if (base.monthly && !Desk::Check(CClientInfo().ExistsByClientId(base.clientId), Lookup::Found,
                                     QStringLiteral("客户编号错误!"), refusal))
        return false;
    // Every film's checks, the balance against them all, before the first write.
    if (!Review(base, items))
        return false;
    for (const Item& item : std::as_const(*items))
        if (!item.Accepted())
            return Desk::Hold(Named(item, item.reason), refusal);
    LendFilm::Request ask = base;
    ask.note = QStringLiteral("多片借出 %1 部").arg(items->size());
    for (Item& item : *items) {
        ask.filmId = item.filmId;
        QString why;
        const bool checked = LendFilm::Check(ask, &item.lent, &why);
        item.before = item.lent.client.Balance;
        if (!checked || !LendFilm::Write(ask, &item.lent, &why)) {
            if (!why.isEmpty())
                *refusal = Named(item, why);
            return false;
        }
        item.left = item.lent.client.Balance;
    }
    return basket.Commit();
}

QString LendBasket::Film(const Item& item) {
    return item.lent.film.ID != 0 ? DeskLines::FilmName(item.filmId, item.lent.film.FilmName) : item.filmId;
}

QString LendBasket::Named(const Item& item, const QString& text) {
    return Film(item) + QLatin1Char(':') + text;
}

QString LendBasket::DoneText(const LendFilm::Request& base, const QList<Item>& items) {
    QStringList films;
    for (const Item& item : items)
        films << Film(item);
    const Totals sum = Sum(base, items);
    if (base.monthly)
        return QStringLiteral("已借出 %1 部给 %2:%3,扣款 %4,余额 %5")
            .arg(QString::number(sum.films), base.clientId, films.join(QStringLiteral("、")),
                 Money::FromFen(sum.prices), Money::FromFen(sum.left));
    return QStringLiteral("已借出 %1 部(零租):%2,收押金 %3,租金 %4,存押金 %5")
        .arg(QString::number(sum.films), films.join(QStringLiteral("、")), Money::FromFen(sum.deposits),
             Money::FromFen(sum.prices), Money::FromFen(sum.held));
}

Receipt::Slip LendBasket::SlipOf(const LendFilm::Request& base, const QList<Item>& items) {
    Receipt::Slip slip{QStringLiteral("借出"),
                       base.optUser,
                       base.monthly ? base.clientId : LendContact::SlipClient(base.contact),
                       {},
                       {}};
    for (const Item& item : items)
        slip.amounts.append({Film(item), Money::Text(item.lent.price)});
    const Totals sum = Sum(base, items);
    slip.amounts.append({QStringLiteral("合计 %1 部").arg(sum.films), Money::FromFen(sum.prices)});
    if (base.monthly)
        slip.amounts.append({QStringLiteral("余额"), Money::FromFen(sum.left)});
    else
        slip.amounts << qMakePair(QStringLiteral("收押金"), Money::FromFen(sum.deposits))
                     << qMakePair(QStringLiteral("存押金"), Money::FromFen(sum.held));
    return slip;
}
