#include "data/DrawerFloat.h"

#include "base/Clock.h"
#include "data/Sql.h"

#include <QSysInfo>

QString DrawerFloat::ThisDesk() {
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QStringLiteral("本机") : name;
}

Lookup DrawerFloat::Load(const QDate& day, const QString& desk, qint64* fen) {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT Fen FROM DrawerFloat WHERE Day='%1' AND Desk='%2'")
                                        .arg(Sql::Day(day), Sql::Text(desk)));
    if (rs.Result() == Lookup::Found)
        *fen = rs.GetText("Fen").toLongLong();
    return rs.Result();
}

bool DrawerFloat::Insert(const QDate& day, const QString& desk, const QString& optUser, qint64 fen) {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("INSERT INTO DrawerFloat (Day,Desk,OptUser,Fen,At) VALUES('%1','%2','%3',%4,'%5')")
            .arg(Sql::Day(day), Sql::Text(desk), Sql::Text(optUser), QString::number(fen),
                 Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
}

bool DrawerFloat::DaySum(const QDate& day, const QString& optUser, qint64* fen, int* desks) {
    QString sql = QStringLiteral("SELECT IFNULL(SUM(Fen),0) AS Fen, COUNT(*) AS Desks FROM DrawerFloat WHERE "
                                 "Day='%1'")
                      .arg(Sql::Day(day));
    if (!optUser.isEmpty())
        sql += QStringLiteral(" AND OptUser='") + Sql::Text(optUser) + QLatin1Char('\'');
    CAdoDb db;
    const CRecordset& rs = db.Query(sql);
    if (rs.Result() != Lookup::Found)
        return false;
    *fen = rs.GetText("Fen").toLongLong();
    *desks = rs.GetInt("Desks");
    return true;
}
