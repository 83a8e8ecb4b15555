#include "data/CSettingInfo.h"

#include "data/CAdoDb.h"
#include "data/Sql.h"

Lookup CSettingInfo::Load(bool quiet) {
    CAdoDb db;
    db.SetQuiet(quiet);
    const CRecordset& rs = db.Query(QStringLiteral("SELECT * FROM Setting"));
    // The prepared file holds one row; a table emptied outside the program leaves the record as it was.
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    MonthVcd = rs.GetReal("MonthVcd");
    MonthDvd = rs.GetReal("MonthDvd");
    DayVcd = rs.GetReal("DayVcd");
    DayDvd = rs.GetReal("DayDvd");
    return Lookup::Found;
}

bool CSettingInfo::Update() {
    CAdoDb db;
    return db.Execute(QStringLiteral("UPDATE Setting SET MonthVcd=") + Sql::Real(MonthVcd) +
                      QStringLiteral(",MonthDvd=") + Sql::Real(MonthDvd) + QStringLiteral(", DayVcd=") +
                      Sql::Real(DayVcd) + QStringLiteral(", DayDvd=") + Sql::Real(DayDvd));
}
