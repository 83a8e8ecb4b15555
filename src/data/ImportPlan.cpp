#include "data/ImportPlan.h"

#include "data/RowStream.h"

#include <QHash>

namespace {
using namespace Import;

// The code of every row of the shop, by its folded form.
bool ShopCodes(What what, QHash<QString, QString>* codes, QString* error) {
    const QString sql = what == What::Films ? QStringLiteral("SELECT FilmID FROM Film")
                                            : QStringLiteral("SELECT ClientID FROM Client");
    return RowStream::Each(
        sql,
        [codes](const EngineStatement& row) {
            const QString code = row.Text(0);
            codes->insert(Folded(code), code);
            return true;
        },
        error);
}

// The row's values by field, each cell checked; the first refusal ends the row.
PlannedRow Read(What what, const CsvRead::Row& row, const QList<int>& mapping, const Options& options) {
    const QList<Field>& fields = Fields(what);
    PlannedRow planned;
    planned.line = row.line;
    for (qsizetype i = 0; i < fields.size(); ++i)
        planned.values << QString();
    for (qsizetype column = 0; column < mapping.size(); ++column) {
        if (mapping[column] >= 0 && column < row.fields.size())
            planned.values[mapping[column]] = row.fields[column].trimmed();
    }
    if (planned.values[0].isEmpty()) {
        planned.reason = QStringLiteral("编号为空");
        return planned;
    }
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const Cell cell = Check(fields[i], planned.values[i], options.acceptUnknown);
        if (!cell.refusal.isEmpty()) {
            planned.reason = cell.refusal;
            return planned;
        }
        planned.values[i] = cell.value;
    }
    planned.fate = Fate::New;
    return planned;
}

// A new row needs every required field, and a medium (a film's price depends on it).
QString Missing(What what, const PlannedRow& row, const Options& options) {
    const QList<Field>& fields = Fields(what);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (!row.values[i].isEmpty())
            continue;
        if (fields[i].required)
            return fields[i].heading + QStringLiteral("为空");
        if (fields[i].kind == Kind::Medium && !options.acceptUnknown)
            return fields[i].heading + QStringLiteral("为空(应为 VCD 或 DVD)");
    }
    return QString();
}
} // namespace

QString Import::FateName(Fate fate) {
    switch (fate) {
    case Fate::New:
        return QStringLiteral("新增");
    case Fate::Update:
        return QStringLiteral("更新");
    case Fate::Skip:
        return QStringLiteral("跳过");
    case Fate::Refused:
        return QStringLiteral("拒绝");
    }
    return QString();
}

QString Import::Folded(const QString& code) {
    return code.toCaseFolded();
}

bool Import::Trial(What what, const CsvRead::Table& table, const QList<int>& mapping, const Options& options,
                   Plan* plan, QString* error) {
    *plan = Plan();
    plan->what = what;
    plan->mapping = mapping;
    QHash<QString, QString> shop;
    if (!ShopCodes(what, &shop, error))
        return false;
    QHash<QString, int> seen; // folded code -> the line of the row that took it
    QHash<QString, QString> seenAs;
    plan->rows.reserve(table.rows.size());
    for (const CsvRead::Row& row : table.rows) {
        PlannedRow planned = Read(what, row, mapping, options);
        const QString code = planned.values.value(0);
        const QString folded = Folded(code);
        if (planned.fate != Fate::Refused && seen.contains(folded)) {
            planned.fate = Fate::Refused;
            planned.reason = seenAs.value(folded) == code
                                 ? QStringLiteral("编号与第 %1 行重复").arg(seen.value(folded))
                                 : QStringLiteral("编号与第 %1 行的“%2”只差大小写")
                                       .arg(seen.value(folded))
                                       .arg(seenAs.value(folded));
        } else if (planned.fate != Fate::Refused) {
            seen.insert(folded, row.line);
            seenAs.insert(folded, code);
            const auto inShop = shop.constFind(folded);
            if (inShop != shop.constEnd()) {
                planned.fate = options.updateExisting ? Fate::Update : Fate::Skip;
                planned.reason = *inShop == code ? QStringLiteral("店里已有此编号")
                                                 : QStringLiteral("店里已有“%1”(大小写不同)").arg(*inShop);
            } else if (const QString missing = Missing(what, planned, options); !missing.isEmpty()) {
                planned.fate = Fate::Refused;
                planned.reason = missing;
            }
        }
        ++plan->count[int(planned.fate)];
        plan->rows << planned;
    }
    return true;
}
