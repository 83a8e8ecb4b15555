#include "data/CRentInfo.h"

#include "data/CAdoDb.h"
#include "data/SqlText.h"

namespace {
QString SelectOpenByFilmId(const QString& filmId) {
    return QStringLiteral("SELECT * FROM Record WHERE FilmID='") + Sql::Text(filmId) +
           QStringLiteral("' AND ReturnDate=''");
}
} // namespace

bool CRentInfo::Insert() {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
                       "VALUES('") +
        Sql::Text(ClientID) + QStringLiteral("','") + Sql::Text(FilmID) + QStringLiteral("','") +
        Sql::Text(Type) + QStringLiteral("',") + Sql::Real(Foregift) + QStringLiteral(",'") +
        Sql::Text(BorrowDate) + QStringLiteral("','") + Sql::Text(ReturnDate) + QStringLiteral("','") +
        Sql::Text(OptUser) + QStringLiteral("')"));
}

bool CRentInfo::Update(RowKey key) {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("UPDATE Record SET ClientID='") + Sql::Text(ClientID) + QStringLiteral("',FilmID='") +
        Sql::Text(FilmID) + QStringLiteral("', Type='") + Sql::Text(Type) + QStringLiteral("', Foregift=") +
        Sql::Real(Foregift) + QStringLiteral(", BorrowDate='") + Sql::Text(BorrowDate) +
        QStringLiteral("',ReturnDate='") + Sql::Text(ReturnDate) + QStringLiteral("',OptUser='") +
        Sql::Text(OptUser) + QStringLiteral("' WHERE ID=") + Sql::Key(key));
}

bool CRentInfo::DeleteById(RowKey key) {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM Record WHERE ID=") + Sql::Key(key));
}

Lookup CRentInfo::ExistsOpenByFilmId(const QString& filmId) {
    CAdoDb db;
    return db.Query(SelectOpenByFilmId(filmId)).Result();
}

Lookup CRentInfo::LoadOpenByFilmId(const QString& filmId) {
    CAdoDb db;
    const CRecordset& rs = db.Query(SelectOpenByFilmId(filmId));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ID = rs.GetInt("ID");
    ClientID = rs.GetText("ClientID");
    FilmID = rs.GetText("FilmID");
    Type = rs.GetText("Type");
    Foregift = rs.GetReal("Foregift");
    BorrowDate = rs.GetText("BorrowDate");
    ReturnDate = rs.GetText("ReturnDate");
    OptUser = rs.GetText("OptUser");
    return Lookup::Found;
}

bool CRentInfo::DeleteByClientId(const QString& clientId) {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM Record WHERE ClientID='") + Sql::Text(clientId) +
                      QStringLiteral("'"));
}

bool CRentInfo::PurgeReturnedMonthly() {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM Record WHERE Type='月租' AND ReturnDate<>''"));
}

bool CRentInfo::PurgeReturnedDaily() {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM Record WHERE Type='零租' AND ReturnDate<>''"));
}
