#include "data/AuditTrail.h"

#include "base/Clock.h"
#include "data/DrawerFloat.h"
#include "data/Sql.h"

namespace {
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString Insert(const QString& optUser, const QString& kind, const QString& key, const QString& detail) {
    return QStringLiteral("INSERT INTO AuditTrail (At,OptUser,Desk,Kind,ItemKey,Detail) "
                          "VALUES('%1','%2','%3','%4','%5','%6')")
        .arg(Clock::Now().toString(kTimeFormat), Sql::Text(optUser), Sql::Text(DrawerFloat::ThisDesk()),
             Sql::Text(kind), Sql::Text(key), Sql::Text(detail));
}
} // namespace

QStringList AuditTrail::Kinds() {
    return {kFilmAdded,     kFilmChanged,     kFilmDeleted,     kClientAdded, kClientChanged, kClientDeleted,
            kOperatorAdded, kOperatorDeleted, kPasswordChanged, kRentDeleted, kExchange,      kCleanup,
            kBackup,        kRestore,         kPrices,          kReceipts,    kLogin,         kLoginFailed,
            kLoginWait,     kLogout,          kImport,          kImportUndone};
}

QString AuditTrail::Listed(const Fields& fields) {
    QStringList parts;
    for (const auto& [name, value] : fields)
        parts << name + QStringLiteral(": ") + value;
    return parts.join(QStringLiteral("; "));
}

QString AuditTrail::Changes(const Fields& before, const Fields& after) {
    QStringList parts;
    for (qsizetype i = 0; i < after.size(); ++i) {
        const QString was = i < before.size() ? before.at(i).second : QString();
        if (was != after.at(i).second)
            parts << after.at(i).first + QStringLiteral(": ") + was + QStringLiteral(" → ") +
                         after.at(i).second;
    }
    return parts.join(QStringLiteral("; "));
}

bool AuditTrail::Write(const QString& optUser, const QString& kind, const QString& key,
                       const QString& detail) {
    CAdoDb db;
    return db.Execute(Insert(optUser, kind, key, detail));
}

bool AuditTrail::WriteInto(const QString& connectionString, const QString& optUser, const QString& kind,
                           const QString& key, const QString& detail) {
    CAdoDb db(connectionString);
    return db.Execute(Insert(optUser, kind, key, detail));
}

Lookup AuditTrail::FailedLogins(const QString& name, const QString& desk, int* count, QDateTime* last) {
    const QString mine = QStringLiteral("ItemKey='%1' AND Desk='%2'").arg(Sql::Text(name), Sql::Text(desk));
    CAdoDb db;
    const CRecordset& rs = db.Query(
        QStringLiteral(
            "SELECT COUNT(*) AS Failed, MAX(At) AS LastAt FROM AuditTrail WHERE %1 AND Kind='%2' AND "
            "ID > (SELECT IFNULL(MAX(ID),0) FROM AuditTrail WHERE %1 AND Kind='%3')")
            .arg(mine, Sql::Text(kLoginFailed), Sql::Text(kLogin)));
    if (rs.Result() == Lookup::Found) {
        *count = rs.GetInt("Failed");
        *last = QDateTime::fromString(rs.GetText("LastAt"), kTimeFormat);
    }
    return rs.Result();
}

QString AuditTrail::Rows(const QDate& from, const QDate& to, const QString& optUser, const QString& kind,
                         const QString& key) {
    QString sql =
        QStringLiteral("SELECT ID, At AS 时间, OptUser AS 操作员, Kind AS 类别, ItemKey AS 对象, "
                       "Detail AS 内容, Desk AS 电脑 FROM AuditTrail WHERE At >= '%1' AND At < '%2'")
            .arg(from.toString(QStringLiteral("yyyy-MM-dd")),
                 to.addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    const auto narrow = [&sql](const char* column, const QString& value) {
        if (!value.isEmpty())
            sql += QStringLiteral(" AND %1='%2'").arg(QLatin1String(column), Sql::Text(value));
    };
    narrow("OptUser", optUser);
    narrow("Kind", kind);
    narrow("ItemKey", key);
    return sql + QStringLiteral(" ORDER BY At DESC, ID DESC");
}
