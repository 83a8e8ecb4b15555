#include "data/engine/EngineError.h"

namespace {
// What the shop reads of a server's failure; empty for the file engine's codes.
QString DescribeServerFailure(EngineError::Code code) {
    switch (code) {
    case EngineError::Unreachable:
        return QStringLiteral(
            "无法连接数据库服务器,这次操作没有完成。请确认服务器已经开机、网络连通,再试一次。");
    case EngineError::Refused:
        return QStringLiteral("数据库服务器拒绝了登录:用户名或密码不对。请用 vorix --server 重新设置连接。");
    case EngineError::NoSuchDatabase:
        return QStringLiteral("数据库服务器上没有这个数据库。请用 vorix --server 重新设置连接。");
    case EngineError::NotAShop:
        return QStringLiteral(
            "服务器上的这个数据库不是本店的数据库。请用 vorix-initdb --server 准备它,或者用 "
            "vorix --server 改连本店的数据库。");
    case EngineError::Lost:
        return QStringLiteral("与数据库服务器的连接断了,这次操作没有完成,"
                              "也没有保存任何改动。请确认服务器和网络正常后再试一次。");
    default:
        return {};
    }
}
} // namespace

QString EngineError::Describe(const EngineError& error) {
    QString what = DescribeServerFailure(error.code);
    switch (what.isEmpty() ? error.code : EngineError::Ok) {
    case EngineError::Busy:
        what = QStringLiteral("数据库正被另一台电脑或另一个程序使用,这次操作没有完成。请稍等片刻再试一次。");
        break;
    case EngineError::ReadOnly:
        what = QStringLiteral(
            "数据库文件只能读取,不能写入,这次修改没有保存。请检查 cddata.mdb 及其文件夹的写入权限。");
        break;
    case EngineError::Full:
        what = QStringLiteral("磁盘已满,这次修改没有保存。请腾出磁盘空间后再试。");
        break;
    case EngineError::CantOpen:
        what = QStringLiteral("无法打开数据库文件。请确认 cddata.mdb 在程序所在的文件夹中,并且可以读写。");
        break;
    case EngineError::NotADatabase:
        what = QStringLiteral("数据库文件已损坏,或者不是本店的数据库。请停止使用,并用最近的备份恢复。");
        break;
    case EngineError::IoError:
        what = QStringLiteral("读写数据库文件时出错,这次操作没有完成。请检查磁盘,必要时用最近的备份恢复。");
        break;
    case EngineError::Constraint:
    case EngineError::Unique:
        // The file names the column, the server the index.
        if (error.text.contains(QLatin1String("Record.FilmID")) ||
            error.text.contains(QLatin1String("record_openfilm")))
            what = QStringLiteral("这部影片已经借出,还没有归还,不能再借出一次。");
        break;
    default:
        break;
    }
    if (what.isEmpty())
        return error.text;
    return what + QStringLiteral("\n\n") + error.text;
}
