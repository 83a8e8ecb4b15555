#include "data/Reports.h"

#include "data/AuditTrail.h"
#include "data/CLedgerInfo.h"
#include "data/Sql.h"

namespace {
// A period longer than this reads a report's rows in the order of its key rather than by time.
constexpr int kShortPeriodDays = 62;

// The ledger's rows of the period by the clock, of one operator or of all. The file reads a short
// period's rows by their time (Ledger_At), a longer one the whole index of the report's key, whose
// rows come in the key's order, so that no sort of them is needed; the server's planner chooses
// for itself (the hint is dropped there).
QString LedgerWhere(const QDate& from, const QDate& to, const QString& optUser, const QString& keyIndex) {
    const QString index = from.daysTo(to) < kShortPeriodDays ? QStringLiteral("Ledger_At") : keyIndex;
    QString sql = QStringLiteral(" FROM Ledger INDEXED BY %1 WHERE At >= '%2' AND At < '%3'")
                      .arg(index, Sql::Day(from), Sql::Day(to.addDays(1)));
    if (!optUser.isEmpty())
        sql += QStringLiteral(" AND OptUser='") + Sql::Text(optUser) + QLatin1Char('\'');
    return sql;
}

// The summary of the ledger's days of the period (LedgerDay: per day, kind and operator the rows N
// and the sums Fen, Plus and Minus), of one operator or of all.
QString DaysWhere(const QDate& from, const QDate& to, const QString& optUser) {
    QString sql =
        QStringLiteral(" FROM LedgerDay WHERE Day >= '%1' AND Day <= '%2'").arg(Sql::Day(from), Sql::Day(to));
    if (!optUser.isEmpty())
        sql += QStringLiteral(" AND OptUser='") + Sql::Text(optUser) + QLatin1Char('\'');
    return sql;
}

// The sign of a kind's cash: 1 into the drawer, -1 out of it, 0 none.
int CashSign(const QString& kind) {
    return int(CLedgerInfo::CashFen(kind, 1));
}

// The cash into (in) or out of the drawer of the rows of one kind, as an expression over the kind
// and the sums of the rows' positive (plus) and negative (minus, as a positive number) amounts.
QString Cash(bool in, const QString& kindColumn, const QString& plus, const QString& minus) {
    QString sql = QStringLiteral("CASE ") + Sql::Plain(kindColumn);
    for (const QString& kind : CLedgerInfo::Kinds()) {
        if (const int sign = CashSign(kind))
            sql += QStringLiteral(" WHEN '%1' THEN %2").arg(Sql::Text(kind), (sign > 0) == in ? plus : minus);
    }
    return sql + QStringLiteral(" ELSE 0 END");
}

// The end of the name of every kind that takes money from a client's balance (月租扣款, 超期扣款).
const QString kChargedKind = QStringLiteral("扣款");

bool IsHeld(const QString& kind) {
    return kind == CLedgerInfo::kDepositIn || kind == CLedgerInfo::kDepositOut ||
           kind == CLedgerInfo::kClientDeposit;
}

// What the rows of one kind earned the shop (Titles, customers), as an expression over the kind and
// the rows' amount. Every known kind has its case, a lending's own charges first, as most rows are.
QString Earned(const QString& kindColumn, const QString& amount) {
    QStringList kinds = Reports::LendingKinds();
    for (const QString& kind : CLedgerInfo::Kinds()) {
        if (!kinds.contains(kind))
            kinds << kind;
    }
    const QString plain = Sql::Plain(kindColumn);
    QString sql = QStringLiteral("CASE ") + plain;
    for (const QString& kind : kinds) {
        const int sign = CashSign(kind);
        const QString earned = IsHeld(kind)                  ? QStringLiteral("0")
                               : sign < 0                    ? QStringLiteral("-") + amount
                               : sign > 0                    ? amount
                               : kind.endsWith(kChargedKind) ? amount
                                                             : QStringLiteral("0");
        sql += QStringLiteral(" WHEN '%1' THEN %2").arg(Sql::Text(kind), earned);
    }
    // Any other kind without cash earns only when it charges a balance, as every such kind is named.
    return sql + QStringLiteral(" ELSE CASE WHEN %1 LIKE '%%2' THEN %3 ELSE 0 END END")
                     .arg(plain, kChargedKind, amount);
}

// The lendings among rows of one kind: their count for a lending's own charge, else 0.
QString Lendings(const QString& kindColumn, const QString& count) {
    QStringList kinds;
    for (const QString& kind : Reports::LendingKinds())
        kinds << QLatin1Char('\'') + Sql::Text(kind) + QLatin1Char('\'');
    return QStringLiteral("CASE WHEN %1 IN (%2) THEN %3 ELSE 0 END")
        .arg(Sql::Plain(kindColumn), kinds.join(QLatin1Char(',')), count);
}

// Per key of the period's rows that the condition where keeps: the key k (the expression key over
// the code column, FilmID or ClientID), the lendings n and the money earned e. A long period's rows
// are summed per code and kind first, in the order of the index by code, so that the kinds' cases
// are worked out once per group rather than once per row; a short period's few rows are summed at
// once by the key, which spares both engines a second grouping.
QString EarnedPerKey(const QString& column, const QString& key, const QDate& from, const QDate& to,
                     const QString& optUser, const QString& keyIndex, const QString& where) {
    const QString rows = LedgerWhere(from, to, optUser, keyIndex) + where;
    if (from.daysTo(to) < kShortPeriodDays)
        return QStringLiteral("SELECT %1 AS k, SUM(%2) AS n, SUM(%3) AS e")
                   .arg(key, Lendings(QStringLiteral("Kind"), QStringLiteral("1")),
                        Earned(QStringLiteral("Kind"), QStringLiteral("Fen"))) +
               rows + QStringLiteral(" GROUP BY %1").arg(key);
    return QStringLiteral("SELECT %1 AS k, SUM(n) AS n, SUM(e) AS e FROM (SELECT %2, %3 AS n, %4 AS e")
               .arg(key, column, Lendings(QStringLiteral("Kind"), QStringLiteral("COUNT(*)")),
                    Earned(QStringLiteral("Kind"), QStringLiteral("SUM(Fen)"))) +
           rows + QStringLiteral(" GROUP BY %1, Kind) k GROUP BY %1").arg(column);
}

// A disc's code as the titles' key of EarnedPerKey: plain text, grouped as the file's engine groups
// the code (its collation) and on the server by its letters as written. The titles fold it when they
// join the catalogue (CAST AS CITEXT: the server's case-blind text, and to the file's engine a cast
// to text that keeps the collation).
const QString kDiscKey = Sql::Plain(QStringLiteral("FilmID"));

// Above every disc code: the first bound of a way of reading that the statement did not choose.
const QString kPastEveryCode = QString::fromUcs4(U"\U0010FFFF");

// A long period's ledger per disc (all operators), read the cheaper of two ways, which the
// statement itself chooses from the summary of the days: the period's own rows, in the order of
// their index by disc (EarnedPerKey); or, when nearly every row of the ledger lies in the period,
// each disc's rows of all time (the summary FilmKinds, a row per disc and kind) less the few
// outside it. The way not chosen reads nothing: its first index bound lies past every code or
// time, and on the server its condition alone stops it.
QString EarnedPerDisc(const QDate& from, const QDate& to) {
    const QString first = Sql::Day(from);
    const QString end = Sql::Day(to.addDays(1));
    // 1 when less than a fifth of the ledger's rows lie outside the period.
    const QString whole =
        QStringLiteral("(SELECT CASE WHEN 5*SUM(CASE WHEN Day>='%1' AND Day<='%2' THEN 0 ELSE N "
                       "END)<SUM(N) THEN 1 ELSE 0 END FROM LedgerDay)")
            .arg(first, Sql::Day(to));
    const QString own =
        EarnedPerKey(QStringLiteral("FilmID"), kDiscKey, from, to, {}, QStringLiteral("Ledger_FilmKind"),
                     QStringLiteral(" AND FilmID > CASE WHEN %1=1 THEN '%2' ELSE '' END AND %1=0")
                         .arg(whole, kPastEveryCode));
    // Each disc's all-time rows, and the rows before and after the period taken away from them;
    // each grouped on its own table, so that the server can count the groups it will join.
    const QString allTime =
        QStringLiteral("SELECT %1 AS k, SUM(%2) AS n, SUM(%3) AS e FROM FilmKinds WHERE FilmID > CASE WHEN "
                       "%4=1 THEN '' ELSE '%5' END AND %4=1 GROUP BY %1")
            .arg(kDiscKey, Lendings(QStringLiteral("Kind"), QStringLiteral("N")),
                 Earned(QStringLiteral("Kind"), QStringLiteral("Fen")), whole, kPastEveryCode);
    const QString outside =
        QStringLiteral(
            "SELECT %1 AS k, -SUM(%2) AS n, -SUM(%3) AS e FROM Ledger INDEXED BY Ledger_At WHERE %4 "
            "AND %5=1 AND FilmID>'' GROUP BY %1")
            .arg(kDiscKey, Lendings(QStringLiteral("Kind"), QStringLiteral("1")),
                 Earned(QStringLiteral("Kind"), QStringLiteral("Fen")));
    const QString before =
        outside.arg(QStringLiteral("At < CASE WHEN %1=1 THEN '%2' ELSE '' END").arg(whole, first), whole);
    const QString after =
        outside.arg(QStringLiteral("At >= CASE WHEN %1=1 THEN '%2' ELSE '~' END").arg(whole, end), whole);
    return own + QStringLiteral(" UNION ALL ") + allTime + QStringLiteral(" UNION ALL ") + before +
           QStringLiteral(" UNION ALL ") + after;
}

// The bucket of a day row d (yyyy-MM-dd) of the takings.
QString Bucket(const QDate& from, const QDate& to, Reports::Step step) {
    switch (step) {
    case Reports::Step::Day:
        return QStringLiteral("d");
    case Reports::Step::Month:
        return QStringLiteral("substr(d,1,7)");
    case Reports::Step::Week:
        break;
    }
    // Weeks start on Monday; the first is named by the period's first day.
    QString sql = QStringLiteral("CASE");
    QDate start = from;
    QDate next = from.addDays(8 - from.dayOfWeek());
    while (next <= to) {
        sql += QStringLiteral(" WHEN d < '%1' THEN '%2'").arg(Sql::Day(next), Sql::Day(start));
        start = next;
        next = next.addDays(7);
    }
    if (start == from) // the period lies within one week
        return QStringLiteral("'%1'").arg(Sql::Day(from));
    return sql + QStringLiteral(" ELSE '%1' END").arg(Sql::Day(start));
}

// The takings' columns over rows t of (d, k, f, p, n): per kind its amount, then the cash.
QString TakingsColumns() {
    const auto sum = [](const QString& value) {
        return QStringLiteral("IFNULL(SUM(%1),0)/100.0").arg(value);
    };
    QString sql;
    for (const QString& kind : CLedgerInfo::Kinds())
        sql += QStringLiteral(", ") +
               sum(QStringLiteral("CASE WHEN %1='%2' THEN f ELSE 0 END")
                       .arg(Sql::Plain(QStringLiteral("k")), Sql::Text(kind))) +
               QStringLiteral(" AS \"%1(元)\"").arg(QString(kind).remove(QLatin1Char('"')));
    const QString in = Cash(true, QStringLiteral("k"), QStringLiteral("p"), QStringLiteral("n"));
    const QString out = Cash(false, QStringLiteral("k"), QStringLiteral("p"), QStringLiteral("n"));
    return sql + QStringLiteral(", %1 AS \"现金收入(元)\", %2 AS \"现金支出(元)\", %3 AS \"净现金(元)\"")
                     .arg(sum(in), sum(out), sum(QStringLiteral("(%1) - (%2)").arg(in, out)));
}
} // namespace

QStringList Reports::LendingKinds() {
    return {CLedgerInfo::kMonthCharge, CLedgerInfo::kDayPrice};
}

QString Reports::TakingsHeading(Step step) {
    switch (step) {
    case Step::Day:
        return QStringLiteral("日期");
    case Step::Week:
        return QStringLiteral("周(起)");
    case Step::Month:
        return QStringLiteral("月份");
    }
    return QString();
}

QString Reports::Takings(const QDate& from, const QDate& to, Step step, const QString& optUser) {
    // The ledger's days are read once, per day and kind; the days are then put in their weeks or
    // months, and once more all together (g.i = 1) for the total, which an empty period has too.
    const QString days =
        QStringLiteral("(SELECT Day AS d, Kind AS k, SUM(Fen) AS f, SUM(Plus) AS p, SUM(Minus) AS n") +
        DaysWhere(from, to, optUser) + QStringLiteral(" GROUP BY Day, Kind) t");
    return QStringLiteral("SELECT CASE WHEN g.i=0 THEN %1 ELSE '合计' END AS \"%2\"")
               .arg(Bucket(from, to, step), TakingsHeading(step)) +
           TakingsColumns() +
           QStringLiteral(", g.i AS 序 FROM (SELECT 0 AS i UNION ALL SELECT 1) g LEFT JOIN ") + days +
           QStringLiteral(" ON 1=1 GROUP BY g.i, 1 HAVING g.i=1 OR COUNT(t.d)>0 ORDER BY 序, 1");
}

QString Reports::Titles(const QDate& from, const QDate& to, const QString& optUser) {
    // The ledger per disc first, then the discs by their title.
    const QString perDisc =
        optUser.isEmpty() && from.daysTo(to) >= kShortPeriodDays
            ? EarnedPerDisc(from, to)
            : EarnedPerKey(QStringLiteral("FilmID"), kDiscKey, from, to, optUser,
                           QStringLiteral("Ledger_FilmKind"), QStringLiteral(" AND FilmID>''"));
    return QStringLiteral("SELECT IFNULL(f.FilmName,'') AS 影片名字, SUM(a.n) AS 借出次数, SUM(a.e)/100.0 AS "
                          "\"收入(元)\", IFNULL(MAX(t.N),0) AS 张数 "
                          "FROM (") +
           perDisc +
           QStringLiteral(") a LEFT JOIN Film f ON f.FilmID=CAST(a.k AS CITEXT) LEFT JOIN TitleDiscs t ON "
                          "t.FilmName=f.FilmName GROUP BY f.FilmName HAVING SUM(a.n)>0 "
                          "OR SUM(a.e)<>0 ORDER BY 3 DESC, 2 DESC, ") +
           Sql::Plain(QStringLiteral("IFNULL(f.FilmName,'')"));
}

QString Reports::TopCustomers(const QDate& from, const QDate& to, const QString& optUser) {
    return QStringLiteral("SELECT IFNULL(c.ClientID,a.k) AS 客户编号, IFNULL(c.PhoneNum,'') AS 电话, a.n "
                          "AS 借出次数, a.e/100.0 AS \"消费(元)\", c.Balance AS \"余额(元)\" FROM (") +
           EarnedPerKey(QStringLiteral("ClientID"), QStringLiteral("ClientID"), from, to, optUser,
                        QStringLiteral("Ledger_ClientKind"),
                        QStringLiteral(" AND ClientID<>'' AND FilmID<>''")) +
           QStringLiteral(") a LEFT JOIN Client c ON c.ClientID=a.k WHERE a.n>0 OR a.e<>0 ORDER BY a.e "
                          "DESC, a.n DESC, a.k");
}

QString Reports::Staff(const QDate& from, const QDate& to, const QString& optUser) {
    // The summary of the ledger's days, the kinds' cases worked out once per day, kind and operator;
    // the returns per day and operator, in their index's order.
    QString returns = QStringLiteral(" FROM Record WHERE ReturnDate>='%1' AND ReturnDate<='%2'")
                          .arg(Sql::Day(from), Sql::Day(to));
    if (!optUser.isEmpty())
        returns += QStringLiteral(" AND OptUser='") + Sql::Text(optUser) + QLatin1Char('\'');
    // An exchange rewrites its rental: the trail's row of it names who did it.
    QString exchanges = QStringLiteral(" FROM AuditTrail WHERE Kind='%1' AND At>='%2' AND At<'%3'")
                            .arg(Sql::Text(AuditTrail::kExchange), Sql::Day(from), Sql::Day(to.addDays(1)));
    if (!optUser.isEmpty())
        exchanges += QStringLiteral(" AND OptUser='") + Sql::Text(optUser) + QLatin1Char('\'');
    // A rental keeps the name of who wrote it last: the one who took it back.
    return QStringLiteral(
               "SELECT o AS 操作员, SUM(n) AS 借出, SUM(r) AS 还回, SUM(x) AS 更换, SUM(ci)/100.0 AS "
               "\"现金收入(元)\", SUM(co)/100.0 AS \"现金支出(元)\", SUM(ci-co)/100.0 AS \"净现金(元)\" FROM "
               "(SELECT OptUser AS o, %1 AS n, 0 AS r, 0 AS x, %2 AS ci, %3 AS co")
               .arg(Lendings(QStringLiteral("Kind"), QStringLiteral("N")),
                    Cash(true, QStringLiteral("Kind"), QStringLiteral("Plus"), QStringLiteral("Minus")),
                    Cash(false, QStringLiteral("Kind"), QStringLiteral("Plus"), QStringLiteral("Minus"))) +
           DaysWhere(from, to, optUser) + QStringLiteral(" UNION ALL SELECT OptUser, 0, COUNT(*), 0, 0, 0") +
           returns +
           QStringLiteral(" GROUP BY ReturnDate, OptUser UNION ALL SELECT OptUser, 0, 0, COUNT(*), 0, 0") +
           exchanges + QStringLiteral(" GROUP BY OptUser) t GROUP BY o ORDER BY 7 DESC, 2 DESC, 1");
}
