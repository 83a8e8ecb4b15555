#include "data/COperatorInfo.h"

#include "data/CAdoDb.h"
#include "data/Sql.h"

namespace {
QString SelectByName(const QString& name) {
    return QStringLiteral("SELECT * FROM Operator WHERE OptName='") + Sql::Text(name) + QStringLiteral("'");
}
} // namespace

bool COperatorInfo::Insert() {
    CAdoDb db;
    return db.Execute(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('") +
                      Sql::Text(OptName) + QStringLiteral("','") + Sql::Text(OptPwd) + QStringLiteral("','") +
                      Sql::Text(Type) + QStringLiteral("')"));
}

bool COperatorInfo::Update(RowKey key) {
    CAdoDb db;
    return db.Execute(QStringLiteral("UPDATE Operator SET OptName='") + Sql::Text(OptName) +
                      QStringLiteral("',OptPwd='") + Sql::Text(OptPwd) + QStringLiteral("', Type='") +
                      Sql::Text(Type) + QStringLiteral("' WHERE ID=") + Sql::Key(key));
}

bool COperatorInfo::DeleteById(RowKey key) {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM Operator WHERE ID=") + Sql::Key(key));
}

Lookup COperatorInfo::LoadById(RowKey key) {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT * FROM Operator WHERE ID=") + Sql::Key(key));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    OptName = rs.GetText("OptName");
    OptPwd = rs.GetText("OptPwd");
    Type = rs.GetText("Type");
    return Lookup::Found;
}

Lookup COperatorInfo::ExistsByOptName(const QString& name) {
    CAdoDb db;
    return db.Query(SelectByName(name)).Result();
}

Lookup COperatorInfo::LoadByOptName(const QString& name) {
    CAdoDb db;
    const CRecordset& rs = db.Query(SelectByName(name));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    ID = rs.GetInt("ID");
    OptName = rs.GetText("OptName");
    OptPwd = rs.GetText("OptPwd");
    Type = rs.GetText("Type");
    return Lookup::Found;
}

// The list reads only the name it shows and the key it binds: no password hash reaches its model.
QString OperatorList::All() {
    return QStringLiteral("SELECT ID,OptName FROM Operator");
}
