#include "access/LoginGuard.h"

#include <algorithm>

int LoginGuard::WaitAfter(int failures) {
    if (failures < kFreeTries)
        return 0;
    const int doublings = std::min(failures - kFreeTries, 16); // beyond that the longest wait holds
    return int(std::min<qint64>(qint64(kFirstWaitSeconds) << doublings, kLongestWaitSeconds));
}

qint64 LoginGuard::SecondsLeft(int failures, const QDateTime& last, const QDateTime& now) {
    const int wait = WaitAfter(failures);
    if (wait == 0 || !last.isValid())
        return 0;
    return std::clamp<qint64>(wait - last.secsTo(now), 0, wait);
}

QString LoginGuard::Duration(qint64 seconds) {
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds % 3600 / 60;
    const qint64 rest = seconds % 60;
    QString text;
    if (hours > 0)
        text += QStringLiteral("%1 小时").arg(hours);
    if (minutes > 0)
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("%1 分钟").arg(minutes);
    if (rest > 0 || text.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("%1 秒").arg(rest);
    return text;
}

QString LoginGuard::WaitText(qint64 seconds) {
    return QStringLiteral("此用户名在本机连续输错密码的次数过多,请等 %1后再试。").arg(Duration(seconds));
}

QString LoginGuard::LockedText(int failures) {
    return QStringLiteral("已连续输错 %1 次,请等 %2后再试。")
        .arg(failures)
        .arg(Duration(WaitAfter(failures)));
}
