#pragma once
// The client line of the lending form, with what the lending will take before 确定 is pressed.
// It only informs: the lending's own checks and refusals decide, and its own reads set the amounts.
#include "desk/DeskLines.h"

namespace LendCharge {
// On the month: the client as DeskLines::Client says, and once a film in the shop is named, the
// month's price that will be taken from the balance and the balance left ("将扣款 30.00 元,余额
// 70.00 元"), or that the balance does not reach.
DeskLines::Line Monthly(const QString& clientId, const QString& filmId);
// Per day (no client): the day's price taken from the deposit typed and the deposit left held.
DeskLines::Line Daily(const QString& filmId, const QString& deposit);
} // namespace LendCharge
