#pragma once
// The shop's four prices as the desk's information lines read them while the clerk types: a read
// that fails says so in its result and shows no box (the lending's own read still reports it).
#include "data/CAdoDb.h"

class CSettingInfo;

namespace DeskPrices {
Lookup Find(CSettingInfo& prices);
} // namespace DeskPrices
