#pragma once
// A large shop database for the benchmarks: tens of thousands of films, thousands of clients and
// a million rentals, shaped like years of a real shop's work. The same size always gives the same
// file contents (fixed seed), so runs on different days compare.
#include <QString>

struct LargeShopSize {
    int films = 50000;
    int clients = 5000;
    int rentals = 1000000; // monthly-plan and per-day rentals together, about 2% of them out
    int ledger = 1000000;  // rows of the ledger over the last three years (LargeLedger)
};

// Prepares a new shop database at path and fills it through the engine. Refuses an existing
// file. On failure sets *error and leaves no file at path.
bool BuildLargeShop(const QString& path, const LargeShopSize& size, QString* error);

// The path of the cached large shop of that size, built first when missing (which takes a while):
// $VORIX_LARGE_SHOP when set, else large-shop-<films>-<clients>-<rentals>.mdb beside the running
// executable. Prints the failure and exits when the shop cannot be built.
QString EnsureLargeShop(const LargeShopSize& size = {});

// Copies a shop file to target, replacing what is there, so that a benchmark can write into the
// copy and leave the cached file as it is.
bool CopyShopFile(const QString& source, const QString& target, QString* error);
