#pragma once
// The Setting row: the four rental prices, in yuan.
#include "data/CAdoDb.h"

#include <QString>

class CSettingInfo {
public:
    virtual ~CSettingInfo() = default;

    // Reads the first row; with no row at all, or a failed read, the record keeps its values. A
    // quiet load (the desk's information lines while the clerk types) shows no box when it fails.
    Lookup Load(bool quiet = false);
    // Sets every row of the table (there is one).
    bool Update();

    float MonthVcd = 0;
    float MonthDvd = 0;
    float DayVcd = 0;
    float DayDvd = 0;
};
