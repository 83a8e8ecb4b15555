// The reservations' own changes: adding, cancelling, and cancelling with a deleted client or film.
#include "data/CClientInfo.h"
#include "data/CReserveInfo.h"
#include "data/Reservations.h"
#include "data/Sql.h"

namespace {
bool Refuse(const QString& text, QString* refusal) {
    *refusal = text;
    return false;
}

// The film's open reservations a deletion cancels: those of its disc, those holding it, and those of
// its title when no other disc of the title is left.
QString OfFilm(const QString& filmId) {
    return CReserveInfo::OpenCondition() +
           QStringLiteral(" AND (FilmID = '%1' OR (State = '%2' AND HeldFilmID = '%1') OR (FilmID = '' "
                          "AND FilmName = (SELECT FilmName FROM Film WHERE FilmID = '%1') AND NOT EXISTS "
                          "(SELECT 1 FROM Film f WHERE f.FilmName = Reservation.FilmName AND "
                          "f.FilmID <> '%1')))")
               .arg(Sql::Text(filmId), Sql::Text(CReserveInfo::kHeld));
}

QString OfClient(const QString& clientId) {
    return QStringLiteral("ClientID = '%1' AND ").arg(Sql::Text(clientId)) + CReserveInfo::OpenCondition();
}

int Count(const QString& condition) {
    CAdoDb db;
    const CRecordset& rs =
        db.Query(QStringLiteral("SELECT COUNT(*) AS N FROM Reservation WHERE ") + condition);
    return rs.Result() == Lookup::Found ? rs.GetInt("N") : -1;
}

bool CancelWhere(const QString& condition, const QDate& today) {
    CAdoDb db;
    return db.Execute(QStringLiteral("UPDATE Reservation SET State='%1', DoneDate='%2' WHERE ")
                          .arg(Sql::Text(CReserveInfo::kCancelled), Sql::Day(today)) +
                      condition);
}
} // namespace

bool Reservations::Add(const QString& clientId, const QString& filmId, bool thisDiscOnly, const QDate& today,
                       const QString& optUser, Hold* hold, QString* refusal) {
    *hold = {};
    refusal->clear();
    if (clientId.isEmpty())
        return Refuse(QStringLiteral("未填写客户编号!"), refusal);
    if (filmId.isEmpty())
        return Refuse(QStringLiteral("未填写影片编号!"), refusal);
    CTransaction adding;
    CClientInfo client;
    const Lookup known = client.LoadByClientId(clientId);
    if (known != Lookup::Found)
        return known == Lookup::Missing && Refuse(QStringLiteral("客户编号错误!"), refusal);
    CReserveInfo asked;
    {
        CAdoDb db;
        const CRecordset& rs =
            db.Query(QStringLiteral("SELECT FilmID, FilmName FROM Film WHERE FilmID = '%1' LIMIT 1")
                         .arg(Sql::Text(filmId)));
        if (rs.Result() != Lookup::Found)
            return rs.Result() == Lookup::Missing && Refuse(QStringLiteral("影片编号错误!"), refusal);
        asked.FilmName = rs.GetText("FilmName");
        asked.FilmID = thisDiscOnly ? rs.GetText("FilmID") : QString();
    }
    if (!Settle(today))
        return false;
    const QString title = Sql::Text(asked.FilmName);
    if (const int open = Count(OfClient(client.ClientID) + QStringLiteral(" AND FilmName = '%1'").arg(title));
        open != 0)
        return open > 0 &&
               Refuse(
                   QStringLiteral("客户 %1 已预约《%2》,不能重复预约!").arg(client.ClientID, asked.FilmName),
                   refusal);
    {
        CAdoDb db;
        const CRecordset& rs =
            db.Query(QStringLiteral(
                         "SELECT Record.FilmID FROM Record JOIN Film ON Film.FilmID = Record.FilmID WHERE "
                         "Record.ClientID = '%1' AND Record.ReturnDate = '' AND Film.FilmName = '%2' LIMIT 1")
                         .arg(Sql::Text(client.ClientID), title));
        if (rs.Result() != Lookup::Missing)
            return rs.Result() == Lookup::Found &&
                   Refuse(QStringLiteral("客户 %1 正借着《%2》(%3),不能预约此片!")
                              .arg(client.ClientID, asked.FilmName, rs.GetText("FilmID")),
                          refusal);
    }
    asked.ClientID = client.ClientID;
    asked.AskDate = Sql::Day(today);
    asked.State = CReserveInfo::kWaiting;
    asked.OptUser = optUser;
    if (!asked.Insert())
        return false;
    // A disc of the title free in the shop now is put aside at once.
    QString free;
    {
        CAdoDb db;
        QString sql =
            QStringLiteral("SELECT FilmID FROM Film WHERE FilmName = '%1' AND NOT EXISTS (SELECT 1 FROM "
                           "Record WHERE Record.FilmID = Film.FilmID AND Record.ReturnDate = '') AND NOT "
                           "EXISTS (SELECT 1 FROM Reservation WHERE Reservation.HeldFilmID = Film.FilmID "
                           "AND Reservation.State = '%2')")
                .arg(title, Sql::Text(CReserveInfo::kHeld));
        if (thisDiscOnly)
            sql += QStringLiteral(" AND FilmID = '%1'").arg(Sql::Text(asked.FilmID));
        const CRecordset& rs = db.Query(sql + QStringLiteral(" ORDER BY ID LIMIT 1"));
        if (rs.Result() == Lookup::Failed)
            return false;
        free = rs.GetText("FilmID");
    }
    if (!free.isEmpty() && !PassOn(free, today, hold))
        return false;
    return adding.Commit();
}

bool Reservations::Cancel(int id, const QDate& today, Hold* passed, QString* refusal) {
    *passed = {};
    refusal->clear();
    CTransaction cancelling;
    CReserveInfo reservation;
    const Lookup found = reservation.LoadById(id);
    if (found != Lookup::Found)
        return found == Lookup::Missing && Refuse(QStringLiteral("此预约已不存在。"), refusal);
    if (reservation.State != CReserveInfo::kWaiting && reservation.State != CReserveInfo::kHeld)
        return Refuse(QStringLiteral("此预约已是“%1”,不能取消。").arg(reservation.State), refusal);
    if (!CancelWhere(QStringLiteral("ID=") + Sql::Int(id), today))
        return false;
    if (reservation.State == CReserveInfo::kHeld && !PassOn(reservation.HeldFilmID, today, passed))
        return false;
    return cancelling.Commit();
}

int Reservations::OpenOfClient(const QString& clientId) {
    return Count(OfClient(clientId));
}

int Reservations::OpenOfFilm(const QString& filmId) {
    return Count(OfFilm(filmId));
}

// The discs held for the client pass on to the next who waits for them.
bool Reservations::CancelOfClient(const QString& clientId, const QDate& today) {
    CTransaction cancelling;
    for (;;) {
        CAdoDb db;
        const CRecordset& rs = db.Query(
            QStringLiteral(
                "SELECT ID, HeldFilmID FROM Reservation WHERE ClientID = '%1' AND State = '%2' ORDER BY "
                "ID LIMIT 1")
                .arg(Sql::Text(clientId), Sql::Text(CReserveInfo::kHeld)));
        if (rs.Result() == Lookup::Failed)
            return false;
        if (rs.Result() == Lookup::Missing)
            break;
        const QString film = rs.GetText("HeldFilmID");
        if (!CancelWhere(QStringLiteral("ID=") + Sql::Int(rs.GetInt("ID")), today) ||
            !PassOn(film, today, nullptr))
            return false;
    }
    return CancelWhere(OfClient(clientId), today) && cancelling.Commit();
}

bool Reservations::CancelOfFilm(const QString& filmId, const QDate& today) {
    CTransaction cancelling;
    return CancelWhere(OfFilm(filmId), today) && cancelling.Commit();
}
