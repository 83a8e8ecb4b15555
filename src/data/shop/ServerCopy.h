#pragma once
// What the move of a shop onto a server and its way back share: the server's connection, its
// statements, the tables in the order they are copied, and the check of the counts.
#include <QByteArrayList>
#include <QList>
#include <QPair>
#include <QString>
#include <libpq-fe.h>
#include <memory>

struct sqlite3;

namespace ServerCopy {
struct Closer {
    void operator()(PGconn* db) const { PQfinish(db); }
};
using Connection = std::unique_ptr<PGconn, Closer>;

// The tables of a shop, in the order they are copied.
inline constexpr const char* kTables[] = {"Client",      "Film",        "Record",      "Operator",
                                          "Setting",     "Ledger",      "Options",     "FilmKey",
                                          "ClientKey",   "RentContact", "DrawerFloat", "DeskAction",
                                          "Reservation", "ImportRun",   "ImportRow",   "AuditTrail"};

// Runs sql (one statement or several); false with the server's message in *error. *value gets
// the first column of the first row, if any.
bool Run(PGconn* db, const QByteArray& sql, QString* error, QString* value = nullptr);
// The names of a table's columns in the file, in their order; empty when the file has no such table.
QByteArrayList FileColumns(sqlite3* file, const char* table);
// After a table is copied: the rows copied, the server's count and the file's agree, and the count
// joins *counts (ServerDatabase::Counts); otherwise *error says how they differ.
bool CountsAgree(sqlite3* file, PGconn* server, const char* table, qint64 copied,
                 QList<QPair<QString, qint64>>* counts, QString* error);
// Writes the search keys of every film and client on the server (a file of a version before the
// keys came over without them); false with the server's message in *error.
bool FillKeys(PGconn* server, QString* error);
} // namespace ServerCopy
