#include "data/Reports.h"

#include "data/Sql.h"

// The reports of what has not been lent for a while: the discs on the shelf, the customers away.
// Both read the summary of each disc's or customer's two newest rentals (FilmLent, ClientLent).
namespace {
// The rows of table (named alias, its code column key) on hand since a day (column since) before
// the days before asOf, and not lent in those days: never, or last before them; or, asOf a day in
// the past and the last lending after it, the one before that before them (or none), or after asOf
// too with no rental in those days. Only the last asks the rentals, one probe of an index; its
// condition on the outer row's ID (always true: IDs count from 1) keeps the server from gathering
// every rental of those days into a table to compare with, so that it probes for each of the few.
// Their newest lending on or before asOf, lastlent, comes first: from the summary's two newest
// days, or for those lent twice after asOf from the rentals. The summary's days and the day on hand
// are compared as plain text, as the order compares them. Ends in the WHERE clause.
QString AwaySince(const QString& table, const QString& alias, const QString& key, const QString& since,
                  const QDate& asOf, int days) {
    return QStringLiteral(
               "CASE WHEN l.LastLent IS NULL OR %7<='%1' THEN l.LastLent WHEN l.PrevLent IS NULL OR %8<='%1' "
               "THEN l.PrevLent ELSE (SELECT MAX(r.BorrowDate) FROM Record r WHERE r.%5=l.%5 AND "
               "r.BorrowDate<='%1') END AS lastlent FROM %3 %4 LEFT JOIN %3Lent l ON l.%5=%4.%5 WHERE "
               "%6<='%2' AND (l.LastLent IS NULL OR %7<='%2' OR (%7>'%1' AND (l.PrevLent "
               "IS NULL OR %8<='%2' OR (%8>'%1' AND NOT EXISTS (SELECT 1 FROM Record n WHERE "
               "n.%5=%4.%5 AND n.ID>0*%4.ID AND n.BorrowDate>'%2' AND n.BorrowDate<='%1')))))")
        .arg(Sql::Day(asOf), Sql::Day(asOf.addDays(-days)), table, alias, key,
             Sql::Plain(alias + QLatin1Char('.') + since), Sql::Plain(QStringLiteral("l.LastLent")),
             Sql::Plain(QStringLiteral("l.PrevLent")));
}

// The order of both reports over their rows x: the longest away first (never lent before all),
// then by the day on hand since (its column), then by last.
QString AwayOrder(const QString& since, const QString& last) {
    return QStringLiteral(" x ORDER BY %1, %2, %3")
        .arg(Sql::Plain(QStringLiteral("IFNULL(lastlent,'')")), Sql::Plain(since), last);
}
} // namespace

QString Reports::IdleStock(const QDate& asOf, int days) {
    // A disc out is not on the shelf.
    return QStringLiteral(
               "SELECT 影片编号, 影片名字, 类型, 入库日期, IFNULL(lastlent,'') AS 最后借出, "
               "CAST(julianday('%1') - julianday(IFNULL(lastlent,入库日期)) AS INTEGER) AS 闲置天数 "
               "FROM (SELECT f.ID AS fid, f.FilmID AS 影片编号, f.FilmName AS 影片名字, f.Type AS "
               "类型, f.StgDate AS 入库日期, ")
               .arg(Sql::Day(asOf)) +
           AwaySince(QStringLiteral("Film"), QStringLiteral("f"), QStringLiteral("FilmID"),
                     QStringLiteral("StgDate"), asOf, days) +
           QStringLiteral(
               " AND NOT EXISTS (SELECT 1 FROM Record o WHERE o.FilmID=f.FilmID AND o.ReturnDate=''))") +
           AwayOrder(QStringLiteral("入库日期"), QStringLiteral("fid"));
}

QString Reports::DormantCustomers(const QDate& asOf, int days) {
    return QStringLiteral(
               "SELECT 客户编号, 电话, 余额 AS \"余额(元)\", 押金 AS \"押金(元)\", IFNULL(lastlent,'') "
               "AS 最后借出, CAST(julianday('%1') - julianday(IFNULL(lastlent,开户日期)) AS INTEGER) "
               "AS 未借天数 FROM (SELECT c.ClientID AS 客户编号, c.PhoneNum AS 电话, c.Balance AS 余额, "
               "c.Foregift AS 押金, c.CreateDate AS 开户日期, ")
               .arg(Sql::Day(asOf)) +
           AwaySince(QStringLiteral("Client"), QStringLiteral("c"), QStringLiteral("ClientID"),
                     QStringLiteral("CreateDate"), asOf, days) +
           QLatin1Char(')') + AwayOrder(QStringLiteral("开户日期"), QStringLiteral("客户编号"));
}
