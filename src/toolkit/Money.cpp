#include "toolkit/Money.h"

QString Money::Text(float amount) {
    return QString::asprintf("%.2f", double(amount)) + QStringLiteral(" 元");
}

QString Money::FromFen(qint64 fen) {
    return QString::asprintf("%.2f", double(fen) / 100) + QStringLiteral(" 元");
}
