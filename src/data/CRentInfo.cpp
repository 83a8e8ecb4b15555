#include "data/CRentInfo.h"

#include "data/CAdoDb.h"
#include "data/RowStream.h"
#include "data/Sql.h"

#include <optional>

namespace {
QString SelectOpenByFilmId(const QString& filmId) {
    return QStringLiteral("SELECT * FROM Record WHERE FilmID='") + Sql::Text(filmId) +
           QStringLiteral("' AND ReturnDate=''");
}

// The grid's columns, join and order around a further condition (empty, or " AND ...").
QString Grid(const QString& condition) {
    return QStringLiteral(
               "SELECT r.ID, r.ClientID AS 客户编号, r.FilmID AS 影片编号, f.FilmName AS 影片名字,"
               "r.Type AS 类型,r.Foregift AS 押金,r.BorrowDate AS 租借日期, r.ReturnDate AS 还回日期,"
               "r.OptUser AS 操作员 FROM Record r,Film f WHERE r.FilmID=f.FilmID") +
           condition + QStringLiteral(" ORDER BY r.ID DESC");
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

QString RentGrid::All() {
    return Grid(QString());
}

QString RentGrid::Monthly() {
    return Grid(QStringLiteral(" AND r.Type='月租'"));
}

QString RentGrid::Daily() {
    return Grid(QStringLiteral(" AND r.Type='零租'"));
}

QString RentGrid::Out() {
    return Grid(QStringLiteral(" AND r.ReturnDate=''"));
}

QString RentGrid::ByClientId(const QString& clientId) {
    return Grid(QStringLiteral(" AND r.ClientID='") + Sql::Text(clientId) + QLatin1Char('\''));
}

QString RentGrid::ByFilmId(const QString& filmId) {
    return Grid(QStringLiteral(" AND r.FilmID='") + Sql::Text(filmId) + QLatin1Char('\''));
}

QString RentGrid::FilmNameContains(const QString& text) {
    return Grid(QStringLiteral(" AND f.FilmName LIKE ") + Sql::Contains(text));
}

QString RentGrid::BorrowDateContains(const QString& text) {
    return Grid(QStringLiteral(" AND r.BorrowDate LIKE ") + Sql::Contains(text));
}

namespace {
// The texts of a statement's first column; nothing when it cannot be read (the statement that
// follows shows why, as every other).
std::optional<QStringList> FirstColumn(const QString& sql) {
    QStringList texts;
    QString error;
    const bool read = RowStream::Each(
        sql,
        [&texts](const EngineStatement& row) {
            texts << row.Text(0);
            return true;
        },
        &error);
    return read ? std::optional<QStringList>(texts) : std::nullopt;
}

// Whether fewer than fewFilms films and fewer than fewRows of their rentals match: one pass over
// the names, then a count by the codes found.
bool FewMatch(const QString& like, int fewRows, int fewFilms) {
    const std::optional<QStringList> codes =
        FirstColumn(QStringLiteral("SELECT FilmID FROM Film WHERE FilmName LIKE ") + like +
                    QStringLiteral(" AND FilmID IS NOT NULL LIMIT ") + Sql::Int(fewFilms));
    if (!codes || codes->size() >= fewFilms)
        return false;
    if (codes->isEmpty())
        return true;
    QStringList quoted;
    for (const QString& code : *codes)
        quoted << QLatin1Char('\'') + Sql::Text(code) + QLatin1Char('\'');
    const std::optional<QStringList> count = FirstColumn(
        QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM Record WHERE FilmID IN (") +
        quoted.join(QLatin1Char(',')) + QStringLiteral(") LIMIT ") + Sql::Int(fewRows) + QLatin1Char(')'));
    return count && !count->isEmpty() && count->first().toInt() < fewRows;
}
} // namespace

// Read newest first, a name few rentals match costs a pass over every rental; their keys, found by
// the films (covering indexes Film_NameCode and Record_FilmID), are read newest first instead.
QString RentGrid::FilmNameSearch(const QString& text, int fewRows, int fewFilms) {
    const QString like = Sql::Contains(text);
    if (!FewMatch(like, fewRows, fewFilms))
        return FilmNameContains(text);
    return Grid(QStringLiteral(" AND f.FilmName LIKE ") + like +
                QStringLiteral(" AND r.ID IN (SELECT r2.ID FROM Film f2 CROSS JOIN Record r2 WHERE "
                               "r2.FilmID=f2.FilmID AND f2.FilmName LIKE ") +
                like + QLatin1Char(')'));
}

// Read newest first, a date few rentals match costs a pass over every rental; the distinct lending
// dates, stepped through the index Record_BorrowDate, bound the keys of the matching rentals, and
// only that range is read.
QString RentGrid::BorrowDateSearch(const QString& text) {
    const QString like = Sql::Contains(text);
    const QString first = QStringLiteral("SELECT MIN((SELECT ID FROM Record WHERE BorrowDate=d.v ORDER BY ID "
                                         "LIMIT 1)) FROM Dates d WHERE d.v LIKE ") +
                          like;
    const QString last = QStringLiteral("SELECT MAX((SELECT ID FROM Record WHERE BorrowDate=d.v ORDER BY ID "
                                        "DESC LIMIT 1)) FROM Dates d WHERE d.v LIKE ") +
                         like;
    return QStringLiteral("WITH RECURSIVE Dates(v) AS (SELECT MIN(BorrowDate) FROM Record UNION ALL SELECT "
                          "(SELECT MIN(BorrowDate) FROM Record WHERE BorrowDate>d.v) FROM Dates d WHERE d.v "
                          "IS NOT NULL) ") +
           Grid(QStringLiteral(" AND r.BorrowDate LIKE ") + like + QStringLiteral(" AND r.ID BETWEEN (") +
                first + QStringLiteral(") AND (") + last + QLatin1Char(')'));
}

QString OutList::Rentals(const QString& type, int longerThan, const QDate& today,
                         const QString& moreColumns) {
    const QString day = today.toString(QStringLiteral("yyyy-MM-dd"));
    // The rentals out stand in ID order in Record_Out: the first screen needs no sorting, and the
    // client and film are looked up for the rows fetched only.
    QString sql =
        QStringLiteral(
            "SELECT r.ID, r.ClientID AS 客户编号, "
            "(SELECT PhoneNum FROM Client c WHERE c.ClientID = r.ClientID AND r.ClientID <> '' LIMIT 1) AS "
            "电话, "
            "(SELECT Remark FROM Client c WHERE c.ClientID = r.ClientID AND r.ClientID <> '' LIMIT 1) AS "
            "备注, "
            "r.FilmID AS 影片编号, (SELECT FilmName FROM Film f WHERE f.FilmID = r.FilmID LIMIT 1) AS "
            "影片名字, "
            "r.Type AS 类型, r.BorrowDate AS 租借日期, "
            "CAST(julianday('%1') - julianday(r.BorrowDate) AS INTEGER) AS 借出天数, r.Foregift AS 押金%2 "
            "FROM Record r WHERE r.ReturnDate = ''")
            .arg(day, moreColumns);
    if (!type.isEmpty())
        sql += QStringLiteral(" AND r.Type = '%1'").arg(Sql::Text(type));
    if (longerThan > 0)
        sql += QStringLiteral(" AND r.BorrowDate < '%1'")
                   .arg(today.addDays(-longerThan).toString(QStringLiteral("yyyy-MM-dd")));
    return sql + QStringLiteral(" ORDER BY r.ID");
}
