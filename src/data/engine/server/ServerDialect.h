#pragma once
// The one place where the program's statements, written for the shop file's engine, become
// PostgreSQL's, and where the server's answers are written back as the file's engine writes them.
// Texts in quotes are never touched.
#include <QByteArray>
#include <QString>

namespace ServerDialect {
// The statement as the server takes it:
//  - "INDEXED BY name" (a hint to the file's planner) is dropped;
//  - IFNULL(a,b) is COALESCE(a,b);
//  - INSERT OR REPLACE INTO Options (...) is an INSERT that updates the row of the same Name;
//  - max(a,b) and min(a,b) of two or more values are GREATEST and LEAST (one value: the aggregate);
//  - group_concat(x[,separator]) is string_agg of x as text;
//  - printf('%.2f', x) is to_char of x to as many decimals;
//  - a subquery in FROM without a name gets one.
// julianday() is a function of the server's schema.
QString Translate(const QString& sql);

// A result column's name in the letter case the statement wrote it, or as the shop's schema spells
// it (for SELECT *): the server folds unquoted names to lower case.
QString ColumnName(const QString& serverName, const QString& sql);

// A real as the file's engine writes it: 15 significant digits, and a whole number with ".0".
QByteArray RealText(double value);
} // namespace ServerDialect
