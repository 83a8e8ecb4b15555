#include "data/CReserveInfo.h"

#include "data/Sql.h"

const QString CReserveInfo::kWaiting = QStringLiteral("等待");
const QString CReserveInfo::kHeld = QStringLiteral("已留片");
const QString CReserveInfo::kTaken = QStringLiteral("已取");
const QString CReserveInfo::kLapsed = QStringLiteral("已过期");
const QString CReserveInfo::kCancelled = QStringLiteral("已取消");

QStringList CReserveInfo::States() {
    return {kWaiting, kHeld, kTaken, kLapsed, kCancelled};
}

QString CReserveInfo::OpenCondition(const QString& column) {
    return QStringLiteral("%1 IN ('%2','%3')").arg(column, Sql::Text(kWaiting), Sql::Text(kHeld));
}

bool CReserveInfo::Insert() {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("INSERT INTO Reservation (ClientID,FilmName,FilmID,AskDate,State,HeldFilmID,"
                       "HeldUntil,DoneDate,OptUser) VALUES('%1','%2','%3','%4','%5','%6','%7','%8','%9')")
            .arg(Sql::Text(ClientID), Sql::Text(FilmName), Sql::Text(FilmID), Sql::Text(AskDate),
                 Sql::Text(State), Sql::Text(HeldFilmID), Sql::Text(HeldUntil), Sql::Text(DoneDate),
                 Sql::Text(OptUser)));
}

Lookup CReserveInfo::LoadById(int id) {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT * FROM Reservation WHERE ID=") + Sql::Int(id));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ID = rs.GetInt("ID");
    ClientID = rs.GetText("ClientID");
    FilmName = rs.GetText("FilmName");
    FilmID = rs.GetText("FilmID");
    AskDate = rs.GetText("AskDate");
    State = rs.GetText("State");
    HeldFilmID = rs.GetText("HeldFilmID");
    HeldUntil = rs.GetText("HeldUntil");
    DoneDate = rs.GetText("DoneDate");
    OptUser = rs.GetText("OptUser");
    return Lookup::Found;
}

QString ReserveGrid::List(const QString& state) {
    // The place counts the waiting reservations of the title up to this one.
    QString sql =
        QStringLiteral(
            "SELECT r.ID, r.ClientID AS 客户编号, c.PhoneNum AS 电话, c.Remark AS 备注, r.FilmName AS 片名, "
            "r.FilmID AS 指定影片, r.AskDate AS 预约日期, "
            "CASE WHEN r.State = '%1' THEN r.State || ' ' || r.HeldFilmID || ' 至 ' || r.HeldUntil "
            "WHEN r.State = '%2' OR r.State = '%1' THEN r.State "
            "ELSE r.State || ' ' || r.DoneDate END AS 状态, "
            "CASE WHEN r.State = '%2' THEN (SELECT COUNT(*) FROM Reservation q WHERE q.FilmName = r.FilmName "
            "AND q.State = '%2' AND q.ID <= r.ID) END AS 排队 "
            "FROM Reservation r LEFT JOIN Client c ON c.ClientID = r.ClientID")
            .arg(Sql::Text(CReserveInfo::kHeld), Sql::Text(CReserveInfo::kWaiting));
    if (!state.isEmpty())
        sql += QStringLiteral(" WHERE r.State = '%1'").arg(Sql::Text(state));
    return sql + QStringLiteral(" ORDER BY r.ID");
}
