#include "data/Reservations.h"

#include "data/COptionInfo.h"
#include "data/CReserveInfo.h"
#include "data/Sql.h"

namespace {
bool SetState(int id, const QString& state, const QDate& today, const QString& heldFilm = QString()) {
    CAdoDb db;
    QString sql = QStringLiteral("UPDATE Reservation SET State='%1', DoneDate='%2'")
                      .arg(Sql::Text(state), Sql::Day(today));
    if (!heldFilm.isNull())
        sql += QStringLiteral(", HeldFilmID='%1'").arg(Sql::Text(heldFilm));
    return db.Execute(sql + QStringLiteral(" WHERE ID=") + Sql::Int(id));
}

// The hold of these columns of a reservation joined to its client.
Reservations::Hold ReadHold(const CRecordset& rs) {
    return {rs.GetInt("ID"),        rs.GetText("ClientID"),   rs.GetText("PhoneNum"),
            rs.GetText("FilmName"), rs.GetText("HeldFilmID"), rs.GetText("HeldUntil")};
}

const QString kHoldColumns = QStringLiteral(
    "SELECT r.ID, r.ClientID, c.PhoneNum, r.FilmName, r.HeldFilmID, r.HeldUntil FROM Reservation r "
    "LEFT JOIN Client c ON c.ClientID = r.ClientID WHERE ");

} // namespace

int Reservations::HoldDays() {
    const int days = COptionInfo::Get(kHoldDaysOption, QString()).toInt();
    return days > 0 ? days : kDefaultHoldDays;
}

bool Reservations::SetHoldDays(int days) {
    return COptionInfo::Set(kHoldDaysOption, QString::number(days));
}

bool Reservations::Settle(const QDate& today, bool quiet) {
    const QString lapsed = QStringLiteral("SELECT ID, HeldFilmID FROM Reservation WHERE State='%1' AND "
                                          "HeldUntil < '%2' ORDER BY ID LIMIT 1")
                               .arg(Sql::Text(CReserveInfo::kHeld), Sql::Day(today));
    {
        CAdoDb look;
        look.SetQuiet(quiet);
        const Lookup any = look.Query(lapsed).Result();
        if (any != Lookup::Found)
            return any == Lookup::Missing;
    }
    CTransaction settling;
    for (;;) {
        CAdoDb db;
        const CRecordset& rs = db.Query(lapsed);
        if (rs.Result() == Lookup::Failed)
            return false;
        if (rs.Result() == Lookup::Missing)
            break;
        const int id = rs.GetInt("ID");
        const QString film = rs.GetText("HeldFilmID");
        if (!SetState(id, CReserveInfo::kLapsed, today) || !PassOn(film, today, nullptr))
            return false;
    }
    return settling.Commit();
}

bool Reservations::PassOn(const QString& filmId, const QDate& today, Hold* hold) {
    if (hold)
        *hold = {};
    const QString film = Sql::Text(filmId);
    QString title;
    {
        CAdoDb db;
        const CRecordset& rs = db.Query(
            QStringLiteral(
                "SELECT FilmID, FilmName, (SELECT COUNT(*) FROM Record WHERE Record.FilmID = Film.FilmID "
                "AND Record.ReturnDate = '') AS Outs, (SELECT COUNT(*) FROM Reservation WHERE "
                "Reservation.HeldFilmID = Film.FilmID AND Reservation.State = '%1') AS Holds "
                "FROM Film WHERE FilmID = '%2' LIMIT 1")
                .arg(Sql::Text(CReserveInfo::kHeld), film));
        if (rs.Result() != Lookup::Found)
            return rs.Result() == Lookup::Missing; // a disc deleted meanwhile serves no one
        if (rs.GetInt("Outs") > 0 || rs.GetInt("Holds") > 0)
            return true;
        title = rs.GetText("FilmName");
    }
    CAdoDb db;
    const CRecordset& rs =
        db.Query(kHoldColumns + QStringLiteral("r.State = '%1' AND r.FilmName = '%2' AND "
                                               "(r.FilmID = '' OR r.FilmID = '%3') ORDER BY r.ID LIMIT 1")
                                    .arg(Sql::Text(CReserveInfo::kWaiting), Sql::Text(title), film));
    if (rs.Result() != Lookup::Found)
        return rs.Result() == Lookup::Missing;
    Hold held = ReadHold(rs);
    held.until = Sql::Day(today.addDays(HoldDays()));
    CAdoDb write;
    if (!write.Execute(
            QStringLiteral("UPDATE Reservation SET State='%1', HeldFilmID='%2', HeldUntil='%3' WHERE ID=")
                .arg(Sql::Text(CReserveInfo::kHeld), film, held.until) +
            Sql::Int(held.id)))
        return false;
    held.filmId = filmId;
    if (hold)
        *hold = held;
    return true;
}

Lookup Reservations::HeldOn(const QString& filmId, Hold* hold, bool quiet) {
    CAdoDb db;
    db.SetQuiet(quiet);
    const CRecordset& rs =
        db.Query(kHoldColumns + QStringLiteral("r.State = '%1' AND r.HeldFilmID = '%2' ORDER BY r.ID LIMIT 1")
                                    .arg(Sql::Text(CReserveInfo::kHeld), Sql::Text(filmId)));
    if (rs.Result() == Lookup::Found)
        *hold = ReadHold(rs);
    return rs.Result();
}

bool Reservations::Lend(const QString& clientId, const QString& filmId, const QDate& today, Hold* other) {
    *other = {};
    CTransaction lending;
    if (!Settle(today))
        return false;
    Hold held;
    const Lookup found = HeldOn(filmId, &held);
    if (found == Lookup::Failed)
        return false;
    if (found == Lookup::Found) {
        if (clientId.compare(held.clientId, Qt::CaseInsensitive) != 0) {
            *other = held;
            return false;
        }
        return SetState(held.id, CReserveInfo::kTaken, today) && lending.Commit();
    }
    if (clientId.isEmpty())
        return lending.Commit();
    // His own reservation of the title, served by this disc instead of the one held for him.
    CAdoDb db;
    const CRecordset& rs = db.Query(
        QStringLiteral(
            "SELECT ID, State, HeldFilmID FROM Reservation WHERE ClientID = '%1' AND %2 AND FilmName = "
            "(SELECT FilmName FROM Film WHERE FilmID = '%3') AND (FilmID = '' OR FilmID = '%3') "
            "ORDER BY ID LIMIT 1")
            .arg(Sql::Text(clientId), CReserveInfo::OpenCondition(), Sql::Text(filmId)));
    if (rs.Result() != Lookup::Found)
        return rs.Result() == Lookup::Missing && lending.Commit();
    const int id = rs.GetInt("ID");
    const QString before = rs.GetText("State") == CReserveInfo::kHeld ? rs.GetText("HeldFilmID") : QString();
    return SetState(id, CReserveInfo::kTaken, today, filmId) &&
           (before.isEmpty() || PassOn(before, today, nullptr)) && lending.Commit();
}
