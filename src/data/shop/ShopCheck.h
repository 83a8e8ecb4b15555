#pragma once
// What makes a file a complete shop: it opens with the key, tells a version this program knows and
// holds every table of that version, and no write was left half-done beside it.
#include <QString>

struct sqlite3;

namespace ShopCheck {
// The first column of the first row, as text; a null text with *error set when the query fails.
QString FirstValue(sqlite3* db, const char* sql, QString* error);
// True when db holds a complete shop of a known version: its version is readable and no newer than
// this program's, and it holds every table of that version. Otherwise *error says what is wrong
// with the file `name`.
bool HoldsACompleteShop(sqlite3* db, const QString& name, QString* error);
// True when a log with content lies beside the file at path: the file was being written when its
// writer stopped (a killed copy, whose log holds only what it never committed), or a program has it
// open now. A copy that is finished is one file. Looked at without opening either file.
bool LogBeside(const QString& path);
} // namespace ShopCheck
