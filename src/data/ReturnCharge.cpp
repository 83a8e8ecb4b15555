#include "data/ReturnCharge.h"

#include "data/CLedgerInfo.h"
#include "data/COptionInfo.h"
#include "data/CSettingInfo.h"

#include <algorithm>

namespace {
constexpr const char* kOn = "LateCharge";      // "1" when the shop charges the days out
constexpr const char* kCap = "LateChargeCap";  // fen; empty for no cap
constexpr const char* kPlan = "MonthPlanDays"; // the days one month's plan covers

// Only the exact text "VCD" selects the VCD prices, as at the lending.
bool Vcd(const QString& medium) {
    return medium == QLatin1String("VCD");
}
} // namespace

ReturnCharge::Rule ReturnCharge::Load(Lookup* found) {
    Rule rule;
    Lookup read = Lookup::Found;
    rule.on = COptionInfo::Get(kOn, QString(), &read) == QLatin1String("1");
    if (read == Lookup::Failed || !rule.on) {
        *found = read == Lookup::Failed ? Lookup::Failed : Lookup::Found;
        return rule;
    }
    bool number = false;
    const qint64 cap = COptionInfo::Get(kCap, QString(), &read).toLongLong(&number);
    rule.capFen = number && cap >= 0 ? cap : -1;
    if (read != Lookup::Failed) {
        const int days = COptionInfo::Get(kPlan, QString(), &read).toInt(&number);
        rule.planDays = number && days >= 1 && days <= Rule::kMostPlanDays ? days : Rule::kPlanDays;
    }
    *found = read == Lookup::Failed ? Lookup::Failed : Lookup::Found;
    return rule;
}

bool ReturnCharge::Save(const Rule& rule) {
    return COptionInfo::Set(kOn, rule.on ? QStringLiteral("1") : QStringLiteral("0")) &&
           COptionInfo::Set(kCap, rule.capFen < 0 ? QString() : QString::number(rule.capFen)) &&
           COptionInfo::Set(kPlan, QString::number(rule.planDays));
}

ReturnCharge::Figures ReturnCharge::Compute(const Rule& rule, bool monthly, const QString& borrowDate,
                                            const QDate& returned, const QString& medium,
                                            const CSettingInfo& prices) {
    Figures figures;
    const QDate lent = QDate::fromString(borrowDate, QStringLiteral("yyyy-MM-dd"));
    if (!rule.on || !lent.isValid() || !returned.isValid())
        return figures;
    figures.daysOut = int(std::max<qint64>(0, lent.daysTo(returned)));
    if (monthly) {
        figures.priceFen = CLedgerInfo::Fen(Vcd(medium) ? prices.MonthVcd : prices.MonthDvd);
        // Day 1 to planDays is the period paid at the lending; each one begun after it is charged.
        figures.charged = figures.daysOut > 0 ? (figures.daysOut - 1) / rule.planDays : 0;
        figures.chargeFen = figures.charged * figures.priceFen;
    } else {
        figures.priceFen = CLedgerInfo::Fen(Vcd(medium) ? prices.DayVcd : prices.DayDvd);
        figures.charged = std::max(0, figures.daysOut - 1);
        figures.chargeFen = figures.charged * figures.priceFen;
        if (rule.capFen >= 0 && figures.chargeFen > rule.capFen) {
            figures.chargeFen = rule.capFen;
            figures.capped = true;
        }
    }
    return figures;
}

ReturnCharge::Settlement ReturnCharge::Settle(bool monthly, float held, const Figures& figures,
                                              qint64 waivedFen, qint64 damageFen, bool damageFromDeposit) {
    Settlement money;
    money.waivedFen = std::clamp<qint64>(waivedFen, 0, figures.chargeFen);
    money.chargeFen = figures.chargeFen - money.waivedFen;
    money.damageFen = std::max<qint64>(0, damageFen);
    if (monthly) {
        money.dueFen = money.damageFen; // no deposit: the damage is paid over the counter
        return money;
    }
    money.heldFen = CLedgerInfo::Fen(held);
    money.damageFromDeposit = damageFromDeposit;
    const qint64 fromDeposit = money.chargeFen + (damageFromDeposit ? money.damageFen : 0);
    money.backFen = std::max<qint64>(0, money.heldFen - fromDeposit);
    money.dueFen =
        std::max<qint64>(0, fromDeposit - money.heldFen) + (damageFromDeposit ? 0 : money.damageFen);
    return money;
}

QString ReturnCharge::SoFarColumn(const Rule& rule, const CSettingInfo& prices, const QDate& day) {
    // The same arithmetic as Compute, in the statement: whole days, the medium's price in fen (the
    // film's Type compared as typed, not in the column's letter-case-blind collation).
    const QString days = QStringLiteral("CAST(julianday('%1') - julianday(r.BorrowDate) AS INTEGER)")
                             .arg(day.toString(QStringLiteral("yyyy-MM-dd")));
    const auto price = [](float vcd, float dvd) {
        return QStringLiteral("(SELECT CASE WHEN f.Type || '' = 'VCD' THEN %1 ELSE %2 END FROM Film f "
                              "WHERE f.FilmID = r.FilmID LIMIT 1)")
            .arg(CLedgerInfo::Fen(vcd))
            .arg(CLedgerInfo::Fen(dvd));
    };
    const QString monthly = QStringLiteral("CASE WHEN %1 > 0 THEN ((%1 - 1) / %2) * %3 ELSE 0 END")
                                .arg(days)
                                .arg(rule.planDays)
                                .arg(price(prices.MonthVcd, prices.MonthDvd));
    QString daily = QStringLiteral("CASE WHEN %1 > 1 THEN (%1 - 1) * %2 ELSE 0 END")
                        .arg(days, price(prices.DayVcd, prices.DayDvd));
    if (rule.capFen >= 0)
        daily = QStringLiteral("CASE WHEN %1 > %2 THEN %2 ELSE %1 END").arg(daily).arg(rule.capFen);
    return QStringLiteral(", (CASE WHEN r.Type = '月租' THEN %1 ELSE %2 END) / 100.0 AS \"超期费(元)\"")
        .arg(monthly, daily);
}
