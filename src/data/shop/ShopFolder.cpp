#include "data/shop/ShopFolder.h"

#include "data/engine/ShopConnection.h"
#include "data/shop/NetworkShare.h"
#include "data/shop/ShopDatabase.h"
#include "data/shop/ShopPermissions.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
const QString kSettingsKey = QStringLiteral("shop/folder");
} // namespace

ShopFolder::Choice ShopFolder::Choose(const QString& given, const QString& programFolder,
                                      const QSettings& settings) {
    if (QFileInfo::exists(QDir(programFolder).filePath(QLatin1String(kDataFile))))
        return {QDir(programFolder).absolutePath(), true, false};
    if (!given.isEmpty())
        return {QDir::cleanPath(QDir::current().absoluteFilePath(given)), false, true};
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
    if (!ShopPermissions::MakePrivateFolder(folder) || !QFileInfo(folder).isDir()) {
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
    if (!ShopPermissions::MakePrivateFolder(dir.filePath(QLatin1String(kBackupFolder)))) {
        *error = QStringLiteral("无法建立备份文件夹 %1。").arg(QLatin1String(kBackupFolder));
        return false;
    }
    return true;
}

QStringList ShopFolder::TightenPermissions(const QString& folder) {
    const QDir dir(folder);
    QStringList tightened;
    const auto tighten = [&](const QString& name) {
        if (ShopPermissions::MakeOwnersOnly(dir.filePath(name)))
            tightened << name;
    };
    const QString file = QLatin1String(kDataFile);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        tighten(file + QLatin1String(suffix));
    tighten(QLatin1String(ShopConnection::kServerSettingsFile));
    const QString backups = QLatin1String(kBackupFolder);
    tighten(backups);
    for (const QString& name :
         QDir(dir.filePath(backups)).entryList(QDir::Files | QDir::Hidden | QDir::System))
        tighten(backups + QLatin1Char('/') + name);
    return tightened;
}
