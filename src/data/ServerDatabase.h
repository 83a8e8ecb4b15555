#pragma once
// Preparing a shop database on a PostgreSQL server, as ShopDatabase.h prepares a shop file: the
// server's schema (res/schema-pg.sql), the first prices and the first administrator, whose
// password is stored as a salted hash. The program does not run on a server yet.
#include <QString>

namespace ServerDatabase {
// Prepares the shop in the empty database that the libpq connection string names, in one
// transaction: a failure leaves the database as it was. Refuses a database that already holds
// tables of a shop. *error says why it failed.
bool Prepare(const QString& connection, QString* error);
} // namespace ServerDatabase
