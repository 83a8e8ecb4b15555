#include "desk/ReturnBill.h"

#include "data/CLedgerInfo.h"
#include "data/CRentInfo.h"
#include "data/CSettingInfo.h"
#include "data/DeskLookup.h"
#include "desk/DeskRules.h"
#include "toolkit/Money.h"

namespace {
const QString kSeparator = QStringLiteral(" · ");
} // namespace

void ReturnBill::Work(const ReturnCharge::Rule& rule, const QString& borrowDate, const QDate& returned,
                      const QString& medium, float held, const CSettingInfo& prices) {
    figures = ReturnCharge::Compute(rule, monthly, borrowDate, returned, medium, prices);
    if (monthly && !hasClient)
        figures.chargeFen = 0;
    money = ReturnCharge::Settle(monthly, held, figures, entered.waivedFen, entered.damageFen,
                                 entered.damageFromDeposit);
    if (monthly && hasClient)
        balanceAfter = float(double(CLedgerInfo::Fen(client.Balance) - money.chargeFen) / 100);
}

bool ReturnBill::Make(const ReturnCharge::Rule& rule, const CRentInfo& rent, const QString& filmType,
                      const QDate& returned, const ReturnExtras::Entered& typed) {
    monthly = rent.Type == Desk::kMonthly;
    medium = filmType;
    entered = typed;
    CSettingInfo prices;
    if (prices.Load() == Lookup::Failed)
        return false;
    if (monthly) {
        const Lookup found = client.LoadByClientId(rent.ClientID);
        if (found == Lookup::Failed)
            return false;
        hasClient = found == Lookup::Found;
    }
    Work(rule, rent.BorrowDate, returned, medium, rent.Foregift, prices);
    return true;
}

// "2 天 × 3.00 元" or "1 期 × 30.00 元", and the cap when it held the charge down.
QString ReturnBill::ChargeText() const {
    QString text =
        QStringLiteral("%1 %2 × %3")
            .arg(figures.charged)
            .arg(monthly ? QStringLiteral("期") : QStringLiteral("天"), Money::FromFen(figures.priceFen));
    if (figures.capped)
        text += QStringLiteral(",封顶 ") + Money::FromFen(figures.chargeFen);
    return text;
}

QString ReturnBill::ChargeNote() const {
    QString note = QStringLiteral("借出 %1 天,").arg(figures.daysOut) + ChargeText();
    if (money.waivedFen > 0)
        note += QStringLiteral(",减免 ") + Money::FromFen(money.waivedFen);
    return note;
}

QString ReturnBill::ConfirmLines() const {
    QString text = QStringLiteral("\n借出天数:  %1 天").arg(figures.daysOut);
    if (figures.chargeFen > 0 && monthly)
        text += QStringLiteral("\n超期扣款:  %1(%2,每期按还回时的月租价,从余额扣)")
                    .arg(Money::FromFen(figures.chargeFen), ChargeText());
    else if (figures.chargeFen > 0)
        text += QStringLiteral("\n超期租金:  %1(%2,按还回时的零租价)")
                    .arg(Money::FromFen(figures.chargeFen), ChargeText());
    if (money.waivedFen > 0)
        text +=
            QStringLiteral("\n减免金额:  %1(%2)").arg(Money::FromFen(money.waivedFen), entered.waiverReason);
    if (money.damageFen > 0)
        text += QStringLiteral("\n赔偿金额:  %1(%2,%3)")
                    .arg(Money::FromFen(money.damageFen), entered.damageReason,
                         money.damageFromDeposit ? QStringLiteral("从押金扣") : QStringLiteral("收现金"));
    if (monthly && hasClient)
        text += QStringLiteral("\n扣后余额:  ") + Money::Text(balanceAfter);
    if (!monthly)
        text += QStringLiteral("\n所存押金:  ") + Money::FromFen(money.heldFen);
    if (money.dueFen > 0)
        text += QStringLiteral("\n还须付款:  ") + Money::FromFen(money.dueFen);
    return text;
}

QString ReturnBill::BackText() const {
    return QString::asprintf("%.2f", double(money.backFen) / 100);
}

QStringList ReturnBill::Parts() const {
    QStringList parts{QStringLiteral("借出 %1 天").arg(figures.daysOut)};
    if (figures.chargeFen > 0)
        parts << (monthly ? QStringLiteral("超期扣款 ") : QStringLiteral("超期租金 ")) +
                     Money::FromFen(figures.chargeFen);
    if (money.waivedFen > 0)
        parts << QStringLiteral("减免 ") + Money::FromFen(money.waivedFen);
    if (money.damageFen > 0)
        parts << QStringLiteral("赔偿 ") + Money::FromFen(money.damageFen);
    if (monthly && hasClient)
        parts << QStringLiteral("余额 ") + Money::Text(balanceAfter);
    if (!monthly)
        parts << QStringLiteral("退押金 ") + Money::FromFen(money.backFen);
    if (money.dueFen > 0)
        parts << QStringLiteral("还须付 ") + Money::FromFen(money.dueFen);
    return parts;
}

QString ReturnBill::Done(const QString& film, const QString& clientId) const {
    const QString head = monthly ? QStringLiteral("已还回 %1(%2 %3)").arg(film, clientId, Desk::kMonthly)
                                 : QStringLiteral("已还回 %1").arg(film);
    return (QStringList{head} + Parts()).join(QStringLiteral(","));
}

QList<QPair<QString, QString>> ReturnBill::SlipAmounts() const {
    QList<QPair<QString, QString>> amounts;
    if (!monthly)
        amounts << qMakePair(QStringLiteral("押金"), Money::FromFen(money.heldFen));
    amounts << qMakePair(QStringLiteral("借出天数"), QStringLiteral("%1 天").arg(figures.daysOut));
    if (figures.chargeFen > 0)
        amounts << qMakePair(monthly ? QStringLiteral("超期扣款") : QStringLiteral("超期租金"),
                             Money::FromFen(figures.chargeFen));
    if (money.waivedFen > 0)
        amounts << qMakePair(QStringLiteral("减免"), Money::FromFen(money.waivedFen));
    if (money.damageFen > 0)
        amounts << qMakePair(QStringLiteral("赔偿"), Money::FromFen(money.damageFen));
    if (monthly && hasClient)
        amounts << qMakePair(QStringLiteral("余额"), Money::Text(balanceAfter));
    if (!monthly)
        amounts << qMakePair(QStringLiteral("退押金"), Money::FromFen(money.backFen));
    if (money.dueFen > 0)
        amounts << qMakePair(QStringLiteral("还须付"), Money::FromFen(money.dueFen));
    return amounts;
}

bool ReturnBill::Write(const CRentInfo& rent, const QString& optUser) {
    if (monthly && hasClient && money.chargeFen > 0) {
        client.Balance = balanceAfter;
        if (!client.Update(client.ID))
            return false;
    }
    CLedgerInfo row;
    row.Day = rent.ReturnDate;
    row.OptUser = optUser;
    row.ClientID = rent.ClientID;
    row.FilmID = rent.FilmID;
    row.RentID = rent.ID;
    const auto write = [&row](const QString& kind, qint64 fen, const QString& note) {
        if (fen <= 0)
            return true;
        row.Kind = kind;
        row.Amount = fen;
        row.Note = note;
        return row.Insert();
    };
    return write(monthly ? CLedgerInfo::kLatePeriods : CLedgerInfo::kLateDays, money.chargeFen,
                 ChargeNote()) &&
           write(CLedgerInfo::kWaiver, money.waivedFen, entered.waiverReason) &&
           write(CLedgerInfo::kDamage, money.damageFen,
                 entered.damageReason +
                     (money.damageFromDeposit ? QStringLiteral("(从押金扣)") : QStringLiteral("(现金)")));
}

DeskLines::Line ReturnBill::Line(const ReturnCharge::Rule& rule, const QString& filmId, const QDate& returned,
                                 const ReturnExtras::Entered& entered) {
    QString further;
    DeskLines::Line line = DeskLines::RentalWith(filmId, [&](const DeskLookup::Film& film) {
        ReturnBill bill;
        bill.monthly = film.rentType == Desk::kMonthly;
        bill.entered = entered;
        const QString plain =
            bill.monthly ? QString() : QStringLiteral("退押金 ") + Money::Text(film.foregift);
        CSettingInfo prices;
        if (prices.Load(true) == Lookup::Failed)
            return plain;
        if (bill.monthly) {
            const DeskLookup::Client client = DeskLookup::FindClient(film.clientId);
            bill.hasClient = client.result == Lookup::Found;
            bill.client.Balance = client.balance;
        }
        bill.Work(rule, film.borrowDate, returned, film.medium, film.foregift, prices);
        if (!bill.money.Any())
            return plain;
        further = bill.Parts().join(kSeparator);
        return bill.monthly ? QString() : QStringLiteral("押金 ") + Money::FromFen(bill.money.heldFen);
    });
    if (!further.isEmpty())
        line.text += QStringLiteral("\n还回时") + further;
    return line;
}
