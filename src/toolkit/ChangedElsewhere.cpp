#include "toolkit/ChangedElsewhere.h"
#include "toolkit/Money.h"

QString ChangedElsewhere::Money(const QString& field, float now) {
    return field + QStringLiteral(" 现为 ") + Money::Text(now);
}

QString ChangedElsewhere::Text(const QString& field, const QString& now) {
    if (now.isEmpty())
        return field + QStringLiteral(" 现为空");
    return field + QStringLiteral(" 现为“") + now + QStringLiteral("”");
}

QString ChangedElsewhere::Sentence(const QString& what, const QStringList& changes) {
    return QStringLiteral("保存前") + what + QStringLiteral("已在别处被修改: ") +
           changes.join(QLatin1Char(',')) + QStringLiteral("。已重新读入,请核对后再保存。");
}
