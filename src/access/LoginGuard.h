#pragma once
// Guessing at passwords is slowed down: after five wrong tries in a row for one name at one desk,
// that name waits before its next try there, 30 seconds and twice as long after each further wrong
// one. The count is read from the trail's failed logins since the name's last login at the desk,
// so a restarted program does not reset it.
#include <QDateTime>
#include <QString>

namespace LoginGuard {
inline constexpr int kFreeTries = 5;
inline constexpr int kFirstWaitSeconds = 30;
inline constexpr int kLongestWaitSeconds = 3600;

// The wait after this many wrong tries in a row: none for the first four.
int WaitAfter(int failures);
// The seconds still to wait at now after failures wrong tries, the last at last; 0 for none.
qint64 SecondsLeft(int failures, const QDateTime& last, const QDateTime& now);
// A wait as the box says it: "30 秒", "2 分钟 5 秒", "1 小时".
QString Duration(qint64 seconds);
// What the box says while the name waits.
QString WaitText(qint64 seconds);
// What the box adds to a refusal that starts a wait.
QString LockedText(int failures);
} // namespace LoginGuard
