#include "data/DeskLookup.h"

#include "data/RentContact.h"
#include "data/Sql.h"

DeskLookup::Client DeskLookup::FindClient(const QString& clientId) {
    CAdoDb db;
    db.SetQuiet(true);
    // The count reads the client's rentals through Record_ClientID, a few hundred at most; left to
    // itself the planner would step through every rental out instead.
    const CRecordset& rs = db.Query(
        QStringLiteral(
            "SELECT PhoneNum, Remark, Balance, (SELECT COUNT(*) FROM Record INDEXED BY Record_ClientID "
            "WHERE Record.ClientID = Client.ClientID AND Record.ReturnDate = '') AS FilmsOut FROM Client "
            "WHERE ClientID = '%1' LIMIT 1")
            .arg(Sql::Text(clientId)));
    Client found;
    found.result = rs.Result();
    if (found.result == Lookup::Found) {
        found.phone = rs.GetText("PhoneNum");
        found.remark = rs.GetText("Remark");
        found.balance = rs.GetReal("Balance");
        found.filmsOut = rs.GetInt("FilmsOut");
    }
    return found;
}

DeskLookup::Film DeskLookup::FindFilm(const QString& filmId) {
    CAdoDb db;
    db.SetQuiet(true);
    // The open rental comes through the unique index of rentals out, Record_OpenFilm.
    const CRecordset& rs =
        db.Query(QStringLiteral(
                     "SELECT Film.FilmName, Film.Type AS Medium, Film.Class1 AS Genre, Record.ID AS RentID, "
                     "Record.Type AS RentType, "
                     "Record.ClientID, Record.BorrowDate, Record.Foregift, RentContact.Name AS ContactName, "
                     "RentContact.Phone AS ContactPhone FROM Film LEFT JOIN Record ON "
                     "Record.FilmID = Film.FilmID AND Record.ReturnDate = '' LEFT JOIN RentContact ON "
                     "RentContact.RentID = Record.ID WHERE Film.FilmID = '%1' LIMIT 1")
                     .arg(Sql::Text(filmId)));
    Film found;
    found.result = rs.Result();
    if (found.result == Lookup::Found) {
        found.name = rs.GetText("FilmName");
        found.medium = rs.GetText("Medium");
        found.genre = rs.GetText("Genre");
        found.out = !rs.GetText("RentID").isEmpty();
        found.rentType = rs.GetText("RentType");
        found.clientId = rs.GetText("ClientID");
        found.borrowDate = rs.GetText("BorrowDate");
        found.foregift = rs.GetReal("Foregift");
        found.contact = RentContact::Contact{rs.GetText("ContactName"), rs.GetText("ContactPhone")}.Text();
    }
    return found;
}
