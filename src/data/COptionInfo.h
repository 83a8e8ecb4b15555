#pragma once
// The shop's options beyond the prices, kept by name in the shop's file so that every desk shares
// them: the shop's name and the receipts.
#include "data/CAdoDb.h"

#include <QString>

class COptionInfo {
public:
    static constexpr const char* kShopName = "ShopName";
    static constexpr const char* kReceipts = "Receipts";   // "1": a slip after a lending, a return, a top-up
    static constexpr const char* kReceiptTo = "ReceiptTo"; // "printer" or "pdf"

    // The value stored under name; fallback when there is none. Found, Missing or Failed in *found.
    static QString Get(const char* name, const QString& fallback, Lookup* found = nullptr);
    // Stores the value under name, replacing any earlier one.
    static bool Set(const char* name, const QString& value);
};
