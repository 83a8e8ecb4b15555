#pragma once
// What a form says when the row it shows was changed at another desk between its opening and its
// save: each field that changed, with its value now. The form writes nothing and shows the new
// values, so the clerk decides again on what the shop holds.
#include <QString>
#include <QStringList>

namespace ChangedElsewhere {
// One field that changed: "余款 现为 70.00 元".
QString Money(const QString& field, float now);
// One field that changed: "电话 现为“13900000000”", or "备注 现为空".
QString Text(const QString& field, const QString& now);
// The box's one sentence, naming what was changed (say "该客户的资料") and how.
QString Sentence(const QString& what, const QStringList& changes);
} // namespace ChangedElsewhere
