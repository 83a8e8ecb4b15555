#include "data/DeskPrices.h"

#include "data/CSettingInfo.h"

Lookup DeskPrices::Find(CSettingInfo& prices) {
    CAdoDb db;
    db.SetQuiet(true);
    const CRecordset& rs = db.Query(QStringLiteral("SELECT MonthVcd, MonthDvd, DayVcd, DayDvd FROM Setting"));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    prices.MonthVcd = rs.GetReal("MonthVcd");
    prices.MonthDvd = rs.GetReal("MonthDvd");
    prices.DayVcd = rs.GetReal("DayVcd");
    prices.DayDvd = rs.GetReal("DayDvd");
    return Lookup::Found;
}
