#include "data/ImportRows.h"

#include "base/Clock.h"
#include "data/CAdoDb.h"
#include "data/CLedgerInfo.h"
#include "data/PinyinKeys.h"
#include "data/Sql.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {
using namespace Import;

// A field's value as the statement carries it; a number stored by the engine comes back as text.
QString Literal(const Field& field, const QString& value) {
    switch (field.kind) {
    case Kind::Count:
        return Sql::Int(Sql::ToInt(value));
    case Kind::Money: {
        static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?(e[-+]?[0-9]+)?$"),
                                               QRegularExpression::CaseInsensitiveOption);
        return number.match(value).hasMatch() && value.size() < 40 ? value : Sql::Real(Sql::ToReal(value));
    }
    default:
        return QLatin1Char('\'') + Sql::Text(value) + QLatin1Char('\'');
    }
}

// The row's field columns as stored, by code or by ID; Missing or Failed as the lookup found.
Lookup Load(What what, const QString& where, qint64* id, QStringList* stored) {
    QStringList columns;
    for (const Field& field : Fields(what))
        columns << QLatin1String(field.column);
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("SELECT ID, %1 FROM %2 WHERE %3")
                                        .arg(columns.join(QLatin1Char(',')), TableOf(what), where));
    if (rs.Result() != Lookup::Found)
        return rs.Result();
    *id = rs.GetText("ID").toLongLong();
    for (const Field& field : Fields(what))
        *stored << rs.GetText(field.column);
    return Lookup::Found;
}

// UPDATE of the fields given (all for a restore), and the row's keys anew.
bool WriteRow(What what, qint64 id, const QStringList& values, const QStringList& given) {
    const QList<Field>& fields = Fields(what);
    QStringList sets;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (!given[i].isEmpty())
            sets << QLatin1String(fields[i].column) + QLatin1Char('=') + Literal(fields[i], values[i]);
    }
    CAdoDb db;
    if (!db.Execute(QStringLiteral("UPDATE %1 SET %2 WHERE ID=%3")
                        .arg(TableOf(what), sets.join(QLatin1Char(',')))
                        .arg(id)))
        return false;
    const SearchKeys::Source keys = Rows::KeySource(what, id, values);
    return what == What::Films ? PinyinKeys::WriteFilm(id, keys.first, keys.second)
                               : PinyinKeys::WriteClient(id, keys.first, keys.second);
}
} // namespace

QString Import::Rows::Columns(What what) {
    QStringList columns;
    for (const Field& field : Fields(what))
        columns << QLatin1String(field.column);
    return columns.join(QLatin1Char(','));
}

QString Import::Rows::NewValues(What what, const QStringList& values) {
    const QList<Field>& fields = Fields(what);
    QStringList literals;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        QString value = values[i];
        if (value.isEmpty() && fields[i].kind == Kind::Date)
            value = Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd"));
        literals << (value.isEmpty() && fields[i].kind == Kind::Money ? QStringLiteral("0")
                                                                      : Literal(fields[i], value));
    }
    return literals.join(QLatin1Char(','));
}

SearchKeys::Source Import::Rows::KeySource(What what, qint64 id, const QStringList& values) {
    // Films: FilmName, Playactor; clients: Remark, PhoneNum.
    return what == What::Films ? SearchKeys::Source{id, values[1], values[2]}
                               : SearchKeys::Source{id, values[5], values[1]};
}

bool Import::Rows::Money(const QStringList& values, qint64 depositBeforeFen, qint64 balanceBeforeFen,
                         const QString& optUser) {
    CLedgerInfo money;
    money.Day = Clock::Now().date().toString(QStringLiteral("yyyy-MM-dd"));
    money.OptUser = optUser;
    money.ClientID = values[0];
    money.Note = QStringLiteral("导入");
    const QString kinds[] = {CLedgerInfo::kImportedDeposit, CLedgerInfo::kImportedTopUp};
    const qint64 before[] = {depositBeforeFen, balanceBeforeFen};
    for (int i = 0; i < 2; ++i) {
        const QString& given = values[3 + i]; // Foregift, Balance
        money.Kind = kinds[i];
        money.Amount = given.isEmpty() ? 0 : CLedgerInfo::Fen(given.toDouble()) - before[i];
        if (money.Amount != 0 && !money.Insert())
            return false;
    }
    return true;
}

bool Import::Rows::Update(What what, qint64 run, const QStringList& values, const QString& optUser,
                          QString* refusal) {
    qint64 id = 0;
    QStringList stored;
    const Lookup found =
        Load(what, QStringLiteral("%1='%2'").arg(QLatin1String(Fields(what)[0].column), Sql::Text(values[0])),
             &id, &stored);
    if (found == Lookup::Failed)
        return false;
    if (found == Lookup::Missing) {
        *refusal = QStringLiteral("编号“%1”已不在店里(试运行之后被删除)。导入没有写入任何内容,请重新试运行。")
                       .arg(values[0]);
        return false;
    }
    QStringList merged = stored;
    QStringList given;
    for (qsizetype i = 0; i < values.size(); ++i) {
        // The code stays as the shop writes it; an empty cell leaves the field as it is.
        const bool write = i > 0 && !values[i].isEmpty();
        if (write)
            merged[i] = values[i];
        given << (write ? QStringLiteral("1") : QString());
    }
    const QString before =
        QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(stored)).toJson(QJsonDocument::Compact));
    CAdoDb db;
    return (what == What::Films || Money(merged, CLedgerInfo::Fen(Sql::ToReal(stored[3])),
                                         CLedgerInfo::Fen(Sql::ToReal(stored[4])), optUser)) &&
           WriteRow(what, id, merged, given) &&
           db.Execute(QStringLiteral("INSERT INTO ImportRow (Run, RowID, Added, Image) VALUES(%1,%2,0,'%3')")
                          .arg(run)
                          .arg(id)
                          .arg(Sql::Text(before)));
}

bool Import::Rows::Restore(What what, qint64 id, const QString& before) {
    QStringList values;
    for (const QJsonValue& value : QJsonDocument::fromJson(before.toUtf8()).array())
        values << value.toString();
    if (values.size() != Fields(what).size())
        return true; // an image this program did not write: nothing to put back
    QStringList all;
    for (qsizetype i = 0; i < values.size(); ++i)
        all << QStringLiteral("1");
    return WriteRow(what, id, values, all);
}
