#include "data/COptionInfo.h"

#include "data/Sql.h"

QString COptionInfo::Get(const char* name, const QString& fallback, Lookup* found) {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT Value FROM Options WHERE Name='") +
                                    Sql::Text(QString::fromLatin1(name)) + QStringLiteral("'"));
    if (found)
        *found = rs.Result();
    return rs.Result() == Lookup::Found ? rs.GetText("Value") : fallback;
}

bool COptionInfo::Set(const char* name, const QString& value) {
    CAdoDb db;
    return db.Execute(QStringLiteral("INSERT OR REPLACE INTO Options (Name, Value) VALUES('") +
                      Sql::Text(QString::fromLatin1(name)) + QStringLiteral("','") + Sql::Text(value) +
                      QStringLiteral("')"));
}
