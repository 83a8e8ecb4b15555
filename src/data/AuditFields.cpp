#include "data/AuditFields.h"

#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/Sql.h"

namespace {
QString Money(float yuan) {
    return QString::asprintf("%.2f", double(yuan));
}
} // namespace

AuditTrail::Fields AuditFields::Of(const CFilmInfo& film) {
    return {{QStringLiteral("编号"), film.FilmID},    {QStringLiteral("片名"), film.FilmName},
            {QStringLiteral("主演"), film.Playactor}, {QStringLiteral("类型"), film.Type},
            {QStringLiteral("类别"), film.Class1},    {QStringLiteral("地区"), film.Class2},
            {QStringLiteral("日期"), film.StgDate},   {QStringLiteral("租次"), QString::number(film.Degree)},
            {QStringLiteral("备注"), film.Remark}};
}

AuditTrail::Fields AuditFields::Of(const CClientInfo& client) {
    return {{QStringLiteral("编号"), client.ClientID},       {QStringLiteral("电话"), client.PhoneNum},
            {QStringLiteral("日期"), client.CreateDate},     {QStringLiteral("押金"), Money(client.Foregift)},
            {QStringLiteral("余款"), Money(client.Balance)}, {QStringLiteral("备注"), client.Remark}};
}

AuditTrail::Fields AuditFields::Of(const CRentInfo& rent) {
    return {{QStringLiteral("客户编号"), rent.ClientID},   {QStringLiteral("影片编号"), rent.FilmID},
            {QStringLiteral("类型"), rent.Type},           {QStringLiteral("押金"), Money(rent.Foregift)},
            {QStringLiteral("租借日期"), rent.BorrowDate}, {QStringLiteral("还回日期"), rent.ReturnDate},
            {QStringLiteral("操作员"), rent.OptUser}};
}

Lookup AuditFields::LoadRent(RowKey key, CRentInfo* rent) {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT * FROM Record WHERE ID=") + Sql::Key(key));
    if (rs.Result() == Lookup::Found) {
        rent->ID = rs.GetInt("ID");
        rent->ClientID = rs.GetText("ClientID");
        rent->FilmID = rs.GetText("FilmID");
        rent->Type = rs.GetText("Type");
        rent->Foregift = rs.GetReal("Foregift");
        rent->BorrowDate = rs.GetText("BorrowDate");
        rent->ReturnDate = rs.GetText("ReturnDate");
        rent->OptUser = rs.GetText("OptUser");
    }
    return rs.Result();
}

Lookup AuditFields::Returned(const QString& type, int* rows, QString* lastReturn) {
    CAdoDb db;
    const CRecordset& rs =
        db.Query(QStringLiteral("SELECT COUNT(*) AS Rows, IFNULL(MAX(ReturnDate),'') AS LastReturn "
                                "FROM Record WHERE Type='%1' AND ReturnDate<>''")
                     .arg(Sql::Text(type)));
    if (rs.Result() == Lookup::Found) {
        *rows = rs.GetInt("Rows");
        *lastReturn = rs.GetText("LastReturn");
    }
    return rs.Result();
}
