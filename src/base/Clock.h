#pragma once
// The program's one source of "now", replaceable so that tests can fix today's date.
#include <QDateTime>
#include <functional>

namespace Clock {
QDateTime Now();
// An empty function restores the system clock.
void SetSource(std::function<QDateTime()> source);
} // namespace Clock
