#include "data/CClientInfo.h"

#include "data/CAdoDb.h"
#include "data/PinyinSearch.h"
#include "data/Sql.h"

namespace {
QString SelectByClientId(const QString& clientId) {
    return QStringLiteral("SELECT * FROM Client WHERE ClientID='") + Sql::Text(clientId) +
           QStringLiteral("'");
}

// The grid's columns and order around a condition (empty, or beginning with its blank).
QString ClientGridSql(const QString& condition, const QString& order = QStringLiteral(" ORDER BY ID DESC")) {
    return QStringLiteral("SELECT ID, ClientID AS 编号, PhoneNum AS 电话, CreateDate AS 开户日期, "
                          "Foregift AS 押金,Balance AS 余款, Remark AS 备注 FROM Client") +
           condition + order;
}
} // namespace

bool CClientInfo::Insert() {
    CAdoDb db;
    return db.Execute(
        QStringLiteral("INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance,Remark) "
                       "VALUES('") +
        Sql::Text(ClientID) + QStringLiteral("','") + Sql::Text(PhoneNum) + QStringLiteral("','") +
        Sql::Text(CreateDate) + QStringLiteral("',") + Sql::Real(Foregift) + QStringLiteral(",") +
        Sql::Real(Balance) + QStringLiteral(",'") + Sql::Text(Remark) + QStringLiteral("')"));
}

bool CClientInfo::Update(RowKey key) {
    CAdoDb db;
    return db.Execute(QStringLiteral("UPDATE Client SET ClientID='") + Sql::Text(ClientID) +
                      QStringLiteral("',PhoneNum='") + Sql::Text(PhoneNum) +
                      QStringLiteral("', CreateDate='") + Sql::Text(CreateDate) +
                      QStringLiteral("', Foregift=") + Sql::Real(Foregift) + QStringLiteral(", Balance=") +
                      Sql::Real(Balance) + QStringLiteral(",Remark='") + Sql::Text(Remark) +
                      QStringLiteral("' WHERE ID=") + Sql::Key(key));
}

bool CClientInfo::DeleteById(RowKey key) {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM Client WHERE ID=") + Sql::Key(key));
}

Lookup CClientInfo::LoadById(RowKey key) {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT * FROM Client WHERE ID=") + Sql::Key(key));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ReadColumns(rs);
    return Lookup::Found;
}

Lookup CClientInfo::ExistsByClientId(const QString& clientId) {
    CAdoDb db;
    return db.Query(SelectByClientId(clientId)).Result();
}

Lookup CClientInfo::LoadByClientId(const QString& clientId) {
    CAdoDb db;
    const CRecordset& rs = db.Query(SelectByClientId(clientId));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ID = rs.GetInt("ID");
    ReadColumns(rs);
    return Lookup::Found;
}

// Every column but the key, in the table's order.
void CClientInfo::ReadColumns(const CRecordset& rs) {
    ClientID = rs.GetText("ClientID");
    PhoneNum = rs.GetText("PhoneNum");
    CreateDate = rs.GetText("CreateDate");
    Foregift = rs.GetReal("Foregift");
    Balance = rs.GetReal("Balance");
    Remark = rs.GetText("Remark");
}

QString ClientGrid::All() {
    return ClientGridSql(QString());
}

QString ClientGrid::ByClientId(const QString& clientId) {
    return ClientGridSql(QStringLiteral(" WHERE ClientID='") + Sql::Text(clientId) + QLatin1Char('\''));
}

QString ClientGrid::QuickFind(const QString& text) {
    if (text.trimmed().isEmpty())
        return All();
    if (!PinyinSearch::ByKeys(text))
        return ClientGridSql(QStringLiteral(" WHERE ClientID LIKE %1 OR PhoneNum LIKE %1 OR Remark LIKE %1")
                                 .arg(Sql::Contains(text)));
    return PinyinSearch::Clients(ClientGridSql(QString(), QString()), text, QString(),
                                 QStringLiteral("ID DESC"));
}
