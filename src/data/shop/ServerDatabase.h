#pragma once
// Preparing a shop database on a PostgreSQL server, as ShopDatabase.h prepares a shop file: the
// server's schema (res/schema-pg.sql), the first prices and the first administrator, whose
// password is stored as a salted hash; or a shop file moved there, and back. The program does not
// run on a server yet.
#include <QList>
#include <QPair>
#include <QString>

namespace ServerDatabase {
// Prepares the shop in the empty database that the libpq connection string names, in one
// transaction: a failure leaves the database as it was. Refuses a database that already holds
// tables of a shop. *error says why it failed.
bool Prepare(const QString& connection, QString* error);

// The rows of each table, as counted on both sides.
using Counts = QList<QPair<QString, qint64>>;
// Moves a shop onto the server: copies the shop file at filePath (brought up to this program's
// schema first, as the program's own open does) into the empty database the connection string
// names, every row of every table with its ID, from one snapshot of the file, in one transaction
// checked by the count of every table. A failure or a count that differs leaves the server's
// database as it was.
bool CopyFromFile(const QString& filePath, const QString& connection, Counts* counts, QString* error);
// The way back: writes the server's shop into a new keyed shop file at filePath (refused when it
// exists), every row with its ID, from one snapshot of the server, checked by the count of every
// table. The file appears only when complete.
bool CopyToFile(const QString& connection, const QString& filePath, Counts* counts, QString* error);
} // namespace ServerDatabase
