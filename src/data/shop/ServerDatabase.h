#pragma once
// Preparing a shop database on a PostgreSQL server, as ShopDatabase.h prepares a shop file: the
// server's schema (res/schema-pg.sql), the first prices and the first administrator, whose
// password is stored as a salted hash; or a shop file moved there, and back (ServerToFile.cpp).
#include "data/shop/ShopBackup.h"

#include <QList>
#include <QPair>
#include <QString>

namespace ServerDatabase {
// Prepares the shop in the empty database that the libpq connection string names, in one
// transaction: a failure leaves the database as it was. Refuses a database that holds any table.
// *error says why it failed.
bool Prepare(const QString& connection, QString* error);

// The rows of each table, as counted on both sides.
using Counts = QList<QPair<QString, qint64>>;
// Moves a shop onto the server: copies the shop file at filePath, which it opens for reading only
// (a file of an earlier version is read as it is), into the empty database the connection string
// names, every row of every table with its ID, from one snapshot of the file, in one transaction
// checked by the count of every table; a password stored as typed goes over as its hash. A
// failure or a count that differs leaves the server's database as it was.
bool CopyFromFile(const QString& filePath, const QString& connection, Counts* counts, QString* error);
// What the way back does with a file of the name it writes.
enum class Existing {
    Refuse,  // leaves it and fails (vorix-migrate --back)
    Replace, // puts the new file in its place (a backup of the same minute)
};
// The way back: writes the server's shop into a keyed shop file at filePath, every row with its ID,
// from one snapshot of the server, checked by the count of every table. It is written under a
// backup's temporary name beside filePath (ShopBackup::MakeTemporary) in one transaction, checked
// as a backup is, and appears under its name only when complete; what an earlier copy killed
// half-way left there goes first. The progress tells the tables copied of all.
bool CopyToFile(const QString& connection, const QString& filePath, Counts* counts, QString* error,
                Existing existing = Existing::Refuse, const ShopBackup::Progress& progress = {});
} // namespace ServerDatabase
