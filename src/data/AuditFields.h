#pragma once
// The fields of the films, clients and rentals as the trail writes them: the names the forms give
// them, the values as stored (amounts with two decimals).
#include "data/AuditTrail.h"
#include "data/RowKey.h"

class CClientInfo;
class CFilmInfo;
class CRentInfo;

namespace AuditFields {
AuditTrail::Fields Of(const CFilmInfo& film);
AuditTrail::Fields Of(const CClientInfo& client);
AuditTrail::Fields Of(const CRentInfo& rent);
// A rental row by its key, for the trail of its deletion.
Lookup LoadRent(RowKey key, CRentInfo* rent);
// The returned rentals of a kind (月租, 零租) that 整理 would purge: how many, the latest return.
Lookup Returned(const QString& type, int* rows, QString* lastReturn);
} // namespace AuditFields
