#include "LargeLedger.h"

#include <algorithm>
#include <sqlite3.h>

namespace {
bool Exec(sqlite3* db, const QString& sql, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

long long Count(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    long long count = 0;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return count;
}

// A time of the opening hours, the same for the same number.
QString TimeOf(const char* number) {
    return QStringLiteral("printf('%02d:%02d:%02d', 9 + %1 % 12, (%1 * 7) % 60, (%1 * 13) % 60)")
        .arg(QLatin1String(number));
}
} // namespace

bool LargeLedger::Write(sqlite3* db, int rows, QString* error) {
    const QString first = QLatin1String(kFirstDay);
    const QString last = QLatin1String(kLastDay);
    // The rentals' money, gathered first and written in the clock's order.
    const QString lent =
        QStringLiteral(
            "SELECT r.BorrowDate || ' ' || %1 AS At, r.BorrowDate AS Day, r.OptUser AS OptUser, "
            "CASE r.Type WHEN '月租' THEN '月租扣款' ELSE '零租租金' END AS Kind, CASE r.Type WHEN '月租' "
            "THEN (CASE f.Type WHEN 'VCD' THEN s.MonthVcd ELSE s.MonthDvd END) ELSE (CASE f.Type WHEN "
            "'VCD' THEN s.DayVcd ELSE s.DayDvd END) END * 100 AS Fen, r.ClientID AS ClientID, r.FilmID "
            "AS FilmID, r.ID AS RentID FROM Record r JOIN Film f ON f.FilmID = r.FilmID, Setting s "
            "WHERE r.BorrowDate >= '%2' AND r.BorrowDate <= '%3'")
            .arg(TimeOf("r.ID"), first, last);
    const QString held =
        QStringLiteral("SELECT r.BorrowDate || ' ' || %1, r.BorrowDate, r.OptUser, '收押金', "
                       "CAST(round(r.Foregift * 100) AS INTEGER), '', r.FilmID, r.ID FROM Record r WHERE "
                       "r.Type = '零租' AND r.BorrowDate >= '%2' AND r.BorrowDate <= '%3'")
            .arg(TimeOf("r.ID"), first, last);
    const QString back =
        QStringLiteral(
            "SELECT r.ReturnDate || ' ' || %1, r.ReturnDate, r.OptUser, '退押金', "
            "CAST(round(r.Foregift * 100) AS INTEGER), '', r.FilmID, r.ID FROM Record r WHERE "
            "r.Type = '零租' AND r.ReturnDate <> '' AND r.BorrowDate >= '%2' AND r.ReturnDate <= '%3'")
            .arg(TimeOf("(r.ID + 5)"), first, last);
    if (!Exec(db,
              QStringLiteral("BEGIN; CREATE TEMP TABLE g AS ") + lent + QStringLiteral(" UNION ALL ") + held +
                  QStringLiteral(" UNION ALL ") + back,
              error))
        return false;
    const long long rentals = Count(db, "SELECT COUNT(*) FROM g");
    const long long clients = Count(db, "SELECT COUNT(*) FROM Client");
    const long long topUps = clients > 0 ? std::max(0LL, rows - rentals) : 0;
    // Top-ups of 50 to 500 yuan by the clients, spread over the three years.
    if (topUps > 0 &&
        !Exec(db,
              QStringLiteral(
                  "INSERT INTO g WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                  "i < %1) SELECT d || ' ' || %2, d, (SELECT OptName FROM Operator ORDER BY ID LIMIT 1 "
                  "OFFSET i % (SELECT COUNT(*) FROM Operator)), '充值', (1 + i * 7 % 10) * 5000, "
                  "(SELECT ClientID FROM Client WHERE ID = 1 + i * 7919 % %3), '', 0 FROM (SELECT i, "
                  "date('%4', '+' || (i * 104729 % 1096) || ' days') AS d FROM n)")
                  .arg(topUps)
                  .arg(TimeOf("i"))
                  .arg(clients)
                  .arg(first),
              error))
        return false;
    return Exec(
        db,
        QStringLiteral("INSERT INTO Ledger (At, Day, OptUser, Kind, Fen, ClientID, FilmID, RentID, Note) "
                       "SELECT At, Day, OptUser, Kind, Fen, ClientID, FilmID, RentID, '' FROM g WHERE At <= "
                       "'%1 24' ORDER BY At, RentID; DROP TABLE g; COMMIT")
            .arg(last),
        error);
}
