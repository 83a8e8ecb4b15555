#include "data/CLedgerInfo.h"

#include "base/Clock.h"
#include "data/Sql.h"

#include <cmath>
#include <utility>

const QString CLedgerInfo::kMonthCharge = QStringLiteral("月租扣款");
const QString CLedgerInfo::kDayPrice = QStringLiteral("零租租金");
const QString CLedgerInfo::kDepositIn = QStringLiteral("收押金");
const QString CLedgerInfo::kDepositOut = QStringLiteral("退押金");
const QString CLedgerInfo::kTopUp = QStringLiteral("充值");
const QString CLedgerInfo::kCorrection = QStringLiteral("调整");
const QString CLedgerInfo::kClientDeposit = QStringLiteral("开户押金");
const QString CLedgerInfo::kPriceChange = QStringLiteral("改价");
const QString CLedgerInfo::kClientDeleted = QStringLiteral("删除客户");
const QString CLedgerInfo::kImportedTopUp = QStringLiteral("充值(导入)");
const QString CLedgerInfo::kImportedDeposit = QStringLiteral("开户押金(导入)");

const QString CLedgerInfo::kLateDays = QStringLiteral("超期租金");
const QString CLedgerInfo::kLatePeriods = QStringLiteral("超期扣款");
const QString CLedgerInfo::kWaiver = QStringLiteral("减免");
const QString CLedgerInfo::kDamage = QStringLiteral("赔偿");

namespace {
// Each kind with the sign of its cash: 1 into the drawer, -1 out of it, 0 none. The one table the
// program's sums and the statements' sums are made from.
const std::pair<const QString*, int> kCash[] = {
    {&CLedgerInfo::kDayPrice, 1},    {&CLedgerInfo::kDepositIn, 1},   {&CLedgerInfo::kDepositOut, -1},
    {&CLedgerInfo::kTopUp, 1},       {&CLedgerInfo::kCorrection, 1},  {&CLedgerInfo::kClientDeposit, 1},
    {&CLedgerInfo::kMonthCharge, 0}, {&CLedgerInfo::kPriceChange, 0}, {&CLedgerInfo::kClientDeleted, 0},
};

// The return's charges, listed after the kinds above.
const std::pair<const QString*, int> kReturnCash[] = {
    {&CLedgerInfo::kLateDays, 1},
    {&CLedgerInfo::kDamage, 1},
    {&CLedgerInfo::kLatePeriods, 0},
    {&CLedgerInfo::kWaiver, 0},
};

// Every kind with its sign, in the order the day's report lists them.
QList<std::pair<const QString*, int>> Cash() {
    QList<std::pair<const QString*, int>> all(std::begin(kCash), std::end(kCash));
    all.append(QList<std::pair<const QString*, int>>(std::begin(kReturnCash), std::end(kReturnCash)));
    return all;
}

// The cash of a row, in fen, as an expression over its columns.
QString CashExpression() {
    QString sql = QStringLiteral("CASE Kind");
    for (const auto& [kind, sign] : Cash()) {
        if (sign != 0)
            sql += QStringLiteral(" WHEN '%1' THEN %2Fen")
                       .arg(Sql::Text(*kind), sign < 0 ? QStringLiteral("-") : QString());
    }
    return sql + QStringLiteral(" ELSE 0 END");
}

// The rows of one day by the clock, of one operator or of all.
QString DayWhere(const QDate& day, const QString& optUser) {
    QString sql = QStringLiteral(" FROM Ledger WHERE At >= '%1' AND At < '%2'")
                      .arg(day.toString(QStringLiteral("yyyy-MM-dd")),
                           day.addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    if (!optUser.isEmpty())
        sql += QStringLiteral(" AND OptUser='") + Sql::Text(optUser) + QStringLiteral("'");
    return sql;
}
} // namespace

QStringList CLedgerInfo::Kinds() {
    QStringList kinds;
    for (const auto& [kind, sign] : Cash())
        kinds << *kind;
    return kinds;
}

qint64 CLedgerInfo::CashFen(const QString& kind, qint64 fen) {
    for (const auto& [name, sign] : Cash()) {
        if (*name == kind)
            return sign * fen;
    }
    return 0;
}

qint64 CLedgerInfo::Fen(double yuan) {
    return std::llround(yuan * 100);
}

bool CLedgerInfo::Insert() {
    const QString rent = RentID == kOpenRental
                             ? QStringLiteral("(SELECT ID FROM Record WHERE FilmID='") + Sql::Text(FilmID) +
                                   QStringLiteral("' AND ReturnDate='')")
                             : Sql::Int(RentID);
    CAdoDb db;
    return db.Execute(
        QStringLiteral("INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,ClientID,FilmID,RentID,Note) VALUES('") +
        Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral("','") +
        Sql::Text(Day) + QStringLiteral("','") + Sql::Text(OptUser) + QStringLiteral("','") +
        Sql::Text(Kind) + QStringLiteral("',") + QString::number(Amount) + QStringLiteral(",'") +
        Sql::Text(ClientID) + QStringLiteral("','") + Sql::Text(FilmID) + QStringLiteral("',") + rent +
        QStringLiteral(",'") + Sql::Text(Note) + QStringLiteral("')"));
}

QString Ledger::DaySums(const QDate& day, const QString& optUser) {
    // 序 keeps the kinds in their order and the total last; the window does not show it.
    QString order = QStringLiteral("CASE Kind");
    int place = 0;
    for (const QString& kind : CLedgerInfo::Kinds())
        order += QStringLiteral(" WHEN '%1' THEN %2").arg(Sql::Text(kind)).arg(place++);
    order += QStringLiteral(" ELSE %1 END").arg(place);
    const QString where = DayWhere(day, optUser);
    const QString cash = QStringLiteral("IFNULL(SUM(") + CashExpression() + QStringLiteral("),0)/100.0");
    return QStringLiteral("SELECT Kind AS 类别, COUNT(*) AS 笔数, SUM(Fen)/100.0 AS \"金额(元)\", ") + cash +
           QStringLiteral(" AS \"现金(元)\", ") + order + QStringLiteral(" AS 序") + where +
           QStringLiteral(" GROUP BY Kind UNION ALL SELECT '合计', COUNT(*), NULL, ") + cash +
           QStringLiteral(", 999") + where + QStringLiteral(" ORDER BY 序");
}

QString Ledger::DayRows(const QDate& day, const QString& optUser) {
    return QStringLiteral(
               "SELECT ID, substr(At,12) AS 时间, Day AS 日期, OptUser AS 操作员, Kind AS 类别, "
               "Fen/100.0 AS \"金额(元)\", ClientID AS 客户编号, FilmID AS 影片编号, Note AS 备注") +
           DayWhere(day, optUser) + QStringLiteral(" ORDER BY ID");
}

bool Ledger::DayCash(const QDate& day, const QString& optUser, qint64* in, qint64* out) {
    const QString cash = CashExpression();
    CAdoDb db;
    const CRecordset& rs = db.Query(
        QStringLiteral("SELECT IFNULL(SUM(max(%1,0)),0) AS CashIn, IFNULL(SUM(max(-(%1),0)),0) AS CashOut")
            .arg(cash) +
        DayWhere(day, optUser));
    if (rs.Result() != Lookup::Found)
        return false;
    *in = rs.GetText("CashIn").toLongLong();
    *out = rs.GetText("CashOut").toLongLong();
    return true;
}
