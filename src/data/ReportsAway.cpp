#include "data/Reports.h"

#include "data/Sql.h"

// The reports of what has not been lent for a while: the discs on the shelf, the customers away.
// Both read the summary of each disc's or customer's newest rental (FilmLent, ClientLent).
namespace {
// A disc's or customer's newest lending on or before asOf: the summary's newest day when it is not
// after asOf, else read from the rentals (a report of a day in the past).
QString LastLentBy(const QString& key, const QString& asOf) {
    return QStringLiteral("CASE WHEN l.LastLent IS NULL OR l.LastLent<='%2' THEN l.LastLent ELSE (SELECT "
                          "MAX(r.BorrowDate) FROM Record r WHERE r.%1=l.%1 AND r.BorrowDate<='%2') END")
        .arg(key, asOf);
}

// A disc or customer (the summary's row l, its code outer) not lent in the days before asOf
// (included): never, or last before them, or (asOf a day in the past) last after asOf and the
// rentals hold none in them. Only the last asks the rentals, one probe of an index.
QString NotLentIn(const QString& key, const QString& outer, const QDate& asOf, int days) {
    return QStringLiteral(
               "(l.LastLent IS NULL OR l.LastLent<='%3' OR (l.LastLent>'%2' AND NOT EXISTS (SELECT 1 "
               "FROM Record n WHERE n.%1=%4 AND n.BorrowDate>'%3' AND n.BorrowDate<='%2')))")
        .arg(key, Sql::Day(asOf), Sql::Day(asOf.addDays(-days)), outer);
}
} // namespace

QString Reports::IdleStock(const QDate& asOf, int days) {
    const QString day = Sql::Day(asOf);
    return QStringLiteral(
               "SELECT 影片编号, 影片名字, 类型, 入库日期, IFNULL(lastlent,'') AS 最后借出, "
               "CAST(julianday('%1') - julianday(IFNULL(lastlent,入库日期)) AS INTEGER) AS 闲置天数 FROM "
               "(SELECT f.ID AS fid, f.FilmID AS 影片编号, f.FilmName AS 影片名字, f.Type AS 类型, "
               "f.StgDate AS 入库日期, %2 AS lastlent FROM Film f LEFT JOIN FilmLent l ON l.FilmID=f.FilmID "
               "WHERE f.StgDate<='%3' AND %4 AND NOT EXISTS (SELECT 1 FROM Record o WHERE o.FilmID=f.FilmID "
               "AND o.ReturnDate='')) x ORDER BY IFNULL(lastlent,''), 入库日期, fid")
        .arg(day, LastLentBy(QStringLiteral("FilmID"), day), Sql::Day(asOf.addDays(-days)),
             NotLentIn(QStringLiteral("FilmID"), QStringLiteral("f.FilmID"), asOf, days));
}

QString Reports::DormantCustomers(const QDate& asOf, int days) {
    const QString day = Sql::Day(asOf);
    return QStringLiteral(
               "SELECT 客户编号, 电话, 余额 AS \"余额(元)\", 押金 AS \"押金(元)\", IFNULL(lastlent,'') AS "
               "最后借出, CAST(julianday('%1') - julianday(IFNULL(lastlent,开户日期)) AS INTEGER) AS "
               "未借天数 "
               "FROM (SELECT c.ClientID AS 客户编号, c.PhoneNum AS 电话, c.Balance AS 余额, c.Foregift AS "
               "押金, "
               "c.CreateDate AS 开户日期, %2 AS lastlent FROM Client c LEFT JOIN ClientLent l ON "
               "l.ClientID=c.ClientID WHERE c.CreateDate<='%3' AND %4) x "
               "ORDER BY IFNULL(lastlent,''), 开户日期, 客户编号")
        .arg(day, LastLentBy(QStringLiteral("ClientID"), day), Sql::Day(asOf.addDays(-days)),
             NotLentIn(QStringLiteral("ClientID"), QStringLiteral("c.ClientID"), asOf, days));
}
