#include "data/EngineError.h"

#include <sqlite3.h>

static_assert(SQLITE_NOMEM == 7, "EngineError's first code is the engine's out of memory");

EngineError ErrorOf(sqlite3* db, int rc) {
    if (!db)
        return {};
    if (sqlite3_errcode(db) == SQLITE_OK && rc != SQLITE_OK)
        return {rc, QString::fromUtf8(sqlite3_errstr(rc))};
    return {sqlite3_extended_errcode(db), QString::fromUtf8(sqlite3_errmsg(db))};
}

bool RunStatement(sqlite3* db, const char* sql, EngineError* error) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return true;
    if (error)
        *error = ErrorOf(db, rc);
    return false;
}

bool RunStatement(sqlite3* db, const char* sql, QString* errorText) {
    EngineError error;
    if (RunStatement(db, sql, &error))
        return true;
    *errorText = error.text;
    return false;
}

namespace {
// What the shop reads of a server's failure; empty for the file engine's codes.
QString DescribeServerFailure(int code) {
    switch (code) {
    case ServerFailure::Unreachable:
        return QStringLiteral(
            "无法连接数据库服务器,这次操作没有完成。请确认服务器已经开机、网络连通,再试一次。");
    case ServerFailure::Refused:
        return QStringLiteral("数据库服务器拒绝了登录:用户名或密码不对。请用 vorix --server 重新设置连接。");
    case ServerFailure::NoSuchDatabase:
        return QStringLiteral("数据库服务器上没有这个数据库。请用 vorix --server 重新设置连接。");
    case ServerFailure::NotAShop:
        return QStringLiteral(
            "服务器上的这个数据库不是本店的数据库。请用 vorix-initdb --server 准备它,或者用 "
            "vorix --server 改连本店的数据库。");
    case ServerFailure::Lost:
        return QStringLiteral("与数据库服务器的连接断了,这次操作没有完成,"
                              "也没有保存任何改动。请确认服务器和网络正常后再试一次。");
    default:
        return {};
    }
}
} // namespace

QString DescribeEngineError(int extendedCode, const QString& engineText) {
    QString what = DescribeServerFailure(extendedCode);
    switch (what.isEmpty() ? extendedCode & 0xff : -1) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        what = QStringLiteral("数据库正被另一台电脑或另一个程序使用,这次操作没有完成。请稍等片刻再试一次。");
        break;
    case SQLITE_READONLY:
        what = QStringLiteral(
            "数据库文件只能读取,不能写入,这次修改没有保存。请检查 cddata.mdb 及其文件夹的写入权限。");
        break;
    case SQLITE_FULL:
        what = QStringLiteral("磁盘已满,这次修改没有保存。请腾出磁盘空间后再试。");
        break;
    case SQLITE_CANTOPEN:
        what = QStringLiteral("无法打开数据库文件。请确认 cddata.mdb 在程序所在的文件夹中,并且可以读写。");
        break;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        what = QStringLiteral("数据库文件已损坏,或者不是本店的数据库。请停止使用,并用最近的备份恢复。");
        break;
    case SQLITE_IOERR:
        what = QStringLiteral("读写数据库文件时出错,这次操作没有完成。请检查磁盘,必要时用最近的备份恢复。");
        break;
    case SQLITE_CONSTRAINT:
        // The file names the column, the server the index.
        if (engineText.contains(QLatin1String("Record.FilmID")) ||
            engineText.contains(QLatin1String("record_openfilm")))
            what = QStringLiteral("这部影片已经借出,还没有归还,不能再借出一次。");
        break;
    default:
        break;
    }
    if (what.isEmpty())
        return engineText;
    return what + QStringLiteral("\n\n") + engineText;
}

QString DescribeEngineError(const EngineError& error) {
    return DescribeEngineError(error.code, error.text);
}
