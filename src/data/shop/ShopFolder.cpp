#include "data/shop/ShopFolder.h"

#include "data/engine/ShopConnection.h"
#include "data/shop/NetworkShare.h"
#include "data/shop/ShopDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
const QString kSettingsKey = QStringLiteral("shop/folder");
} // namespace

QString ShopFolder::Argument(const QStringList& arguments, bool* missing) {
    const QString option = QStringLiteral("--shop");
    QString folder;
    bool absent = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == option) {
            absent = i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty();
            folder = absent ? QString() : arguments.at(++i);
        } else if (argument.startsWith(option + QLatin1Char('='))) {
            folder = argument.mid(option.size() + 1);
            absent = folder.isEmpty();
        }
    }
    if (missing)
        *missing = absent;
    return folder.isEmpty() ? QString() : QDir::cleanPath(QDir::current().absoluteFilePath(folder));
}

QString ShopFolder::Option(const QStringList& arguments, const QString& name, bool* present) {
    QString value;
    *present = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == name) {
            *present = true;
            value = i + 1 < arguments.size() ? arguments.at(++i) : QString();
        } else if (argument.startsWith(name + QLatin1Char('='))) {
            *present = true;
            value = argument.mid(name.size() + 1);
        }
    }
    return value;
}

ShopFolder::Choice ShopFolder::Choose(const QStringList& arguments, const QString& programFolder,
                                      const QSettings& settings) {
    if (QFileInfo::exists(QDir(programFolder).filePath(QLatin1String(kDataFile))))
        return {QDir(programFolder).absolutePath(), true, false};
    const QString given = Argument(arguments);
    if (!given.isEmpty())
        return {given, false, true};
    const QString remembered = settings.value(kSettingsKey).toString();
    if (!remembered.isEmpty())
        return {QDir::cleanPath(remembered), false, false};
    return {QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                            QStringLiteral("/vorix")),
            false, false};
}

void ShopFolder::Remember(QSettings& settings, const QString& folder) {
    settings.setValue(kSettingsKey, folder);
    settings.sync();
}

bool ShopFolder::Ready(const QString& folder, bool* prepared, QString* error) {
    *prepared = false;
    const QDir dir(folder);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        *error = QStringLiteral("无法建立文件夹。");
        return false;
    }
    const bool onServer = !ShopConnection::LoadServer(folder).isEmpty();
    // Nor on a network share: its locks fail the engine, and two computers corrupt the file.
    const QString type = NetworkShare::FileSystemType(folder);
    if (!onServer && NetworkShare::IsNetwork(type)) {
        *error =
            QStringLiteral("这个文件夹在网络共享上(文件系统 %1)。几台电脑通过网络共享打开同一个店铺文件,"
                           "会把它损坏;店铺文件要放在本机的磁盘上。几台电脑共用一个店铺,请使用数据库服务器。")
                .arg(type);
        return false;
    }
    // The engine writes its log and lock files beside the shop file: the folder itself must take
    // new files, whatever its permissions say.
    QTemporaryFile probe(dir.filePath(QStringLiteral(".vorix-XXXXXX")));
    if (!probe.open()) {
        *error = QStringLiteral("这个文件夹不能写入。");
        return false;
    }
    probe.close();
    probe.remove();
    const QString file = dir.filePath(QLatin1String(kDataFile));
    if (!onServer && !QFileInfo::exists(file)) {
        QString why;
        if (!ShopDatabase::Prepare(file, &why)) {
            *error = QStringLiteral("无法建立数据库文件 %1(%2)。").arg(QLatin1String(kDataFile), why);
            return false;
        }
        *prepared = true;
    }
    if (!dir.mkpath(QLatin1String(kBackupFolder))) {
        *error = QStringLiteral("无法建立备份文件夹 %1。").arg(QLatin1String(kBackupFolder));
        return false;
    }
    return true;
}
