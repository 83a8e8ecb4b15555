#pragma once
// The cash a desk's drawer holds when the day begins (备用金), entered once per day and desk
// (table DrawerFloat), so that 日结 can say what the drawer should hold, not only what it gained.
#include "data/CAdoDb.h"

#include <QDate>
#include <QString>

namespace DrawerFloat {
// This desk: the computer's name.
QString ThisDesk();
// The float of a desk that day, in fen; Missing when none was entered.
Lookup Load(const QDate& day, const QString& desk, qint64* fen);
// Enters the float of a desk for the day, by the operator; the clock's time beside it.
bool Insert(const QDate& day, const QString& desk, const QString& optUser, qint64 fen);
// The floats of a day entered by one operator, or by all (operator empty), in fen; false when
// the read failed (its message is shown).
bool DaySum(const QDate& day, const QString& optUser, qint64* fen, int* desks);
} // namespace DrawerFloat
