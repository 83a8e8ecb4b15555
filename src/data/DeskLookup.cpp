#include "data/DeskLookup.h"

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
    const CRecordset& rs = db.Query(
        QStringLiteral(
            "SELECT Film.FilmName, Film.Type AS Medium, Film.Class1 AS Genre, Record.ID AS RentID, "
            "Record.Type AS RentType, "
            "Record.ClientID, Record.BorrowDate, Record.Foregift FROM Film LEFT JOIN Record ON "
            "Record.FilmID = Film.FilmID AND Record.ReturnDate = '' WHERE Film.FilmID = '%1' LIMIT 1")
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
    }
    return found;
}

QString DeskPick::Clients(const QString& text) {
    QString sql = QStringLiteral("SELECT ClientID AS 客户编号, PhoneNum AS 电话, Remark AS 备注, "
                                 "Balance AS 余额 FROM Client");
    if (!text.isEmpty()) {
        const QString pattern = Sql::Contains(text);
        sql += QStringLiteral(" WHERE ClientID LIKE %1 OR PhoneNum LIKE %1 OR Remark LIKE %1").arg(pattern);
    }
    return sql + QStringLiteral(" ORDER BY ClientID");
}

QString DeskPick::Films(const QString& text, bool onlyIn) {
    // The open rental of the film, if any: NULL when the film is in. Asked as a value rather than with
    // EXISTS, which the server turns into a hash of every open rental built before the first film
    // (tens of milliseconds); a value is looked up film by film in the index of open rentals, and the first
    // screen comes at once on both engines. The rows are those of EXISTS, in the same order.
    const QString open = QStringLiteral(
        "(SELECT 1 FROM Record WHERE Record.FilmID = Film.FilmID AND Record.ReturnDate = '' LIMIT 1)");
    QString sql =
        QStringLiteral("SELECT FilmID AS 影片编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型, "
                       "Class1 AS 分类, CASE WHEN %1 IS NULL THEN '在店' ELSE '借出' END AS 状态 FROM Film")
            .arg(open);
    QStringList where;
    if (!text.isEmpty())
        where << QStringLiteral("(FilmID LIKE %1 OR FilmName LIKE %1 OR Playactor LIKE %1)")
                     .arg(Sql::Contains(text));
    if (onlyIn)
        where << open + QStringLiteral(" IS NULL");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    // In the order the films came into the shop: the table's own order, no sorting.
    return sql + QStringLiteral(" ORDER BY ID");
}
