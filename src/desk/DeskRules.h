#pragma once
// What the rental desk shares: its limits, how its checks hold a refusal, and the price of a film's medium.
#include "data/CAdoDb.h"

#include <QDateTime>
#include <QString>

class CSettingInfo;

namespace Desk {
constexpr float kMaxMoney = 9999;
// The pause after the last key before the desk looks up what was typed.
constexpr int kLookupPauseMs = 300;

inline const QString kMonthly = QStringLiteral("月租");
inline const QString kDaily = QStringLiteral("零租");

// The checks of an action hold their refusal back in *refusal until its transaction is over, so
// that no box waits while the file is locked. Check is true when a lookup came out as wanted;
// a failed lookup stops the action with no refusal, its engine message being the only box.
bool Check(Lookup result, Lookup wanted, const QString& text, QString* refusal);
bool Hold(const QString& text, QString* refusal); // always false
// The refusal when the rental confirmed has changed at another desk before it was written.
QString ChangedMeanwhile();
// Only the exact text "VCD" selects the VCD price; any other medium pays the DVD price.
float MonthPrice(const CSettingInfo& prices, const QString& filmType);
float DayPrice(const CSettingInfo& prices, const QString& filmType);
// The date of a rental as stored: "%Y-%m-%d".
QString DateText(const QDateTime& when);
} // namespace Desk
