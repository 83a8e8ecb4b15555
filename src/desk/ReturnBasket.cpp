#include "desk/ReturnBasket.h"

#include "data/CAdoDb.h"
#include "data/CFilmInfo.h"
#include "data/CLedgerInfo.h"
#include "data/Reservations.h"
#include "desk/DeskLines.h"
#include "desk/DeskRules.h"
#include "desk/ReturnSteps.h"
#include "toolkit/Money.h"

#include <QStringList>

bool ReturnBasket::Row::Monthly() const {
    return rent.Type == Desk::kMonthly;
}

QString ReturnBasket::Row::Film() const {
    return filmName.isEmpty() ? code : DeskLines::FilmName(code, filmName);
}

qint64 ReturnBasket::Row::BackFen() const {
    if (!Accepted() || Monthly())
        return 0;
    return charged ? bill.money.backFen : CLedgerInfo::Fen(rent.Foregift);
}

qint64 ReturnBasket::Row::ChargeFen() const {
    return Accepted() && charged ? bill.money.chargeFen : 0;
}

qint64 ReturnBasket::Row::DueFen() const {
    return Accepted() && charged ? bill.money.dueFen : 0;
}

bool ReturnBasket::Check(Row* row, const QDate& returned) const {
    CRentInfo rent;
    CFilmInfo film;
    QString refusal;
    row->charged = false;
    if (!ReturnSteps::Find(row->code, rent, film, &refusal)) {
        if (refusal.isEmpty())
            return false;
        row->refusal = refusal;
        // A film in the shop is still named on its row.
        if (refusal == ReturnSteps::NotOut() && film.LoadByFilmId(row->code) == Lookup::Failed)
            return false;
        row->filmName = film.FilmName;
        return true;
    }
    row->refusal.clear();
    row->rent = rent;
    row->filmName = film.FilmName;
    if (m_rule.on) {
        ReturnBill bill;
        if (!bill.Make(m_rule, rent, film.Type, returned, ReturnExtras::Entered()))
            return false;
        row->bill = bill;
        row->charged = bill.money.Any();
    }
    return true;
}

int ReturnBasket::Add(const QString& code, const QDate& returned, bool* already) {
    *already = false;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).code.compare(code, Qt::CaseInsensitive) == 0) {
            *already = true;
            return i;
        }
    }
    Row row;
    row.code = code;
    if (!Check(&row, returned))
        return -1;
    m_rows << row;
    return int(m_rows.size()) - 1;
}

void ReturnBasket::Remove(int index) {
    if (index >= 0 && index < m_rows.size())
        m_rows.removeAt(index);
}

ReturnBasket::Totals ReturnBasket::Total() const {
    Totals totals;
    for (const Row* row : Accepted()) {
        ++totals.films;
        totals.backFen += row->BackFen();
        totals.chargeFen += row->ChargeFen();
        totals.dueFen += row->DueFen();
    }
    return totals;
}

QList<const ReturnBasket::Row*> ReturnBasket::Accepted() const {
    QList<const Row*> rows;
    for (const Row& row : m_rows)
        if (row.Accepted())
            rows << &row;
    return rows;
}

bool ReturnBasket::Recheck(const QDate& returned, QStringList* changed) {
    for (Row& row : m_rows) {
        const bool was = row.Accepted();
        const int rentId = row.rent.ID;
        if (!Check(&row, returned))
            return false;
        if (was && !row.Accepted())
            changed->append(row.Film() + QStringLiteral(":") + row.refusal);
        else if (was && row.rent.ID != rentId)
            changed->append(row.Film() + QStringLiteral(":") + Desk::ChangedMeanwhile());
    }
    return true;
}

namespace {
// What one film hands back or costs, as the confirmation and the slip say it.
QString Amounts(const ReturnBasket::Row& row) {
    QStringList parts;
    if (row.Monthly())
        parts << QStringLiteral("客户 ") + row.rent.ClientID;
    else
        parts << QStringLiteral("退押金 ") + Money::FromFen(row.BackFen());
    if (row.ChargeFen() > 0)
        parts << (row.Monthly() ? QStringLiteral("超期扣款 ") : QStringLiteral("超期租金 ")) +
                     Money::FromFen(row.ChargeFen());
    if (row.DueFen() > 0)
        parts << QStringLiteral("还须付 ") + Money::FromFen(row.DueFen());
    return parts.join(QStringLiteral(","));
}

QString TotalText(const ReturnBasket::Totals& totals) {
    QString text = QStringLiteral("退押金 ") + Money::FromFen(totals.backFen);
    if (totals.chargeFen > 0)
        text += QStringLiteral(",超期费 ") + Money::FromFen(totals.chargeFen);
    if (totals.dueFen > 0)
        text += QStringLiteral(",还须付 ") + Money::FromFen(totals.dueFen);
    return text;
}
} // namespace

QString ReturnBasket::ConfirmText() const {
    const Totals totals = Total();
    QString text = QStringLiteral("还回以下 %1 部影片:").arg(totals.films);
    for (const Row* row : Accepted())
        text += QStringLiteral("\n%1  %2  %3").arg(row->Film(), row->rent.Type, Amounts(*row));
    bool heading = false;
    for (const Row& row : m_rows) {
        if (row.Accepted())
            continue;
        if (!heading)
            text += QStringLiteral("\n\n不能还回,不处理:");
        heading = true;
        text += QStringLiteral("\n%1  %2").arg(row.Film(), row.refusal);
    }
    text += QStringLiteral("\n\n合计:") + TotalText(totals);
    return text + QStringLiteral("\n\n以上信息是否正确,请确认?");
}

QString ReturnBasket::LedgerNote() const {
    return QStringLiteral("多片还回 %1 部").arg(Total().films);
}

bool ReturnBasket::Write(const QDateTime& returned, const QString& optUser, QString* refusal) {
    refusal->clear();
    const QString note = LedgerNote();
    QList<ReturnBill> bills;
    QStringList held;
    {
        CTransaction returning;
        for (Row& row : m_rows) {
            if (!row.Accepted())
                continue;
            // The single return's checks again, under the write lock, then its writes.
            CRentInfo rent;
            CFilmInfo film;
            ReturnBill bill = row.bill;
            QString why;
            QString callOut;
            if (!ReturnSteps::Find(row.code, rent, film, &why) ||
                !ReturnSteps::Write({row.code, row.rent.ID, returned, optUser, note},
                                    m_rule.on ? &bill : nullptr, &rent, &callOut, &why)) {
                if (!why.isEmpty()) {
                    row.refusal = why;
                    *refusal = row.Film() + QStringLiteral(":") + why +
                               QStringLiteral("\n\n本单的影片都没有还回。这部影片已在清单中标出,"
                                              "再按确定还回其余的影片。");
                }
                return false;
            }
            bills << bill;
            held << callOut;
        }
        if (!returning.Commit())
            return false;
    }
    int n = 0;
    for (Row& row : m_rows) {
        if (!row.Accepted())
            continue;
        row.bill = bills.at(n);
        row.held = held.at(n++);
        Reservations::Hold hold;
        if (!row.held.isEmpty() && Reservations::HeldOn(row.rent.FilmID, &hold, true) == Lookup::Found)
            row.heldFor = QStringLiteral("留给预约的客户 %1,保留到 %2").arg(hold.clientId, hold.until);
    }
    return true;
}

QString ReturnBasket::Done() const {
    QStringList codes;
    for (const Row* row : Accepted())
        codes << row->rent.FilmID;
    return QStringLiteral("多片还回 %1 部(%2),").arg(codes.size()).arg(codes.join(QStringLiteral("、"))) +
           TotalText(Total());
}

QString ReturnBasket::Final() const {
    const Totals totals = Total();
    QString text = QStringLiteral("已还回 %1 部影片。\n退押金合计:%2")
                       .arg(totals.films)
                       .arg(Money::FromFen(totals.backFen));
    if (totals.chargeFen > 0)
        text += QStringLiteral("\n超期费合计:") + Money::FromFen(totals.chargeFen);
    if (totals.dueFen > 0)
        text += QStringLiteral("\n还须付款:") + Money::FromFen(totals.dueFen);
    for (const Row* row : Accepted())
        if (!row->held.isEmpty())
            text += QStringLiteral("\n\n") + row->held;
    return text;
}

Receipt::Slip ReturnBasket::Slip(const QString& optUser) const {
    QStringList clients;
    for (const Row* row : Accepted()) {
        const QString client = row->Monthly() ? row->rent.ClientID : Desk::kDaily;
        if (!clients.contains(client))
            clients << client;
    }
    const Totals totals = Total();
    Receipt::Slip slip{QStringLiteral("还回"),
                       optUser,
                       clients.join(QStringLiteral("、")),
                       QStringLiteral("共 %1 部").arg(totals.films),
                       {}};
    for (const Row* row : Accepted())
        slip.amounts << qMakePair(row->Film(), Amounts(*row));
    slip.amounts << qMakePair(QStringLiteral("退押金合计"), Money::FromFen(totals.backFen));
    if (totals.chargeFen > 0)
        slip.amounts << qMakePair(QStringLiteral("超期费合计"), Money::FromFen(totals.chargeFen));
    if (totals.dueFen > 0)
        slip.amounts << qMakePair(QStringLiteral("还须付"), Money::FromFen(totals.dueFen));
    return slip;
}
