#pragma once
// The trail of every change the program makes outside the ledger (table AuditTrail): who did what,
// when, at which desk, to which film, client or operator, and what it was before. A row is written
// in the transaction of the change it records (a CTransaction open on the thread), so the file
// holds both or neither; nothing purges it. No password or hash ever goes into it.
#include "data/CAdoDb.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace AuditTrail {
// The kinds, as stored and shown.
inline const QString kFilmAdded = QStringLiteral("影片新增");
inline const QString kFilmChanged = QStringLiteral("影片修改");
inline const QString kFilmDeleted = QStringLiteral("影片删除");
inline const QString kClientAdded = QStringLiteral("客户新增");
inline const QString kClientChanged = QStringLiteral("客户修改");
inline const QString kClientDeleted = QStringLiteral("客户删除");
inline const QString kOperatorAdded = QStringLiteral("操作员新增");
inline const QString kOperatorDeleted = QStringLiteral("操作员删除");
inline const QString kPasswordChanged = QStringLiteral("密码修改"); // only that it changed, and by whom
inline const QString kRentDeleted = QStringLiteral("租借记录删除");
// An exchange at the desk: its operator, the new film as the key, the old and new in the text.
inline const QString kExchange = QStringLiteral("更换");
inline const QString kCleanup = QStringLiteral("整理");
inline const QString kBackup = QStringLiteral("备份");
inline const QString kRestore = QStringLiteral("恢复");
inline const QString kPrices = QStringLiteral("价格设置");
inline const QString kReceipts = QStringLiteral("小票设置");
inline const QString kLogin = QStringLiteral("登录");
inline const QString kLoginFailed = QStringLiteral("登录失败"); // the name typed as the key
inline const QString kLoginWait = QStringLiteral("登录等待");   // a try refused while the name waits
inline const QString kLogout = QStringLiteral("注销");
// An import of films or clients from a file, and its undoing: the file as the key.
inline const QString kImport = QStringLiteral("导入");
inline const QString kImportUndone = QStringLiteral("撤销导入");

// Every kind, in the order the viewer offers them.
QStringList Kinds();

// A record's fields by their names on the forms, each with its value as stored.
using Fields = QList<std::pair<QString, QString>>;
// "名: 值; 名: 值", every field.
QString Listed(const Fields& fields);
// "名: 前 → 后; …", only the fields whose value differs; empty when none does.
QString Changes(const Fields& before, const Fields& after);

// Writes a row at the clock's time and this desk; in the caller's transaction when one is open.
bool Write(const QString& optUser, const QString& kind, const QString& key, const QString& detail);
// The same into the shop of connectionString (a tool writing into a file it has just put in place).
bool WriteInto(const QString& connectionString, const QString& optUser, const QString& kind,
               const QString& key, const QString& detail);

// The failed logins of a name at a desk since its last login there, and the time of the latest.
Lookup FailedLogins(const QString& name, const QString& desk, int* count, QDateTime* last);

// The viewer's rows, newest first: the days from..to, and the operator, kind and key when given
// (an empty one narrows nothing).
QString Rows(const QDate& from, const QDate& to, const QString& optUser, const QString& kind,
             const QString& key);
} // namespace AuditTrail
