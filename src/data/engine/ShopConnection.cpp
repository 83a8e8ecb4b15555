#include "data/engine/ShopConnection.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSettings>

namespace {
const QString kServerKey = QStringLiteral("server/connection");
const QString kPrefix = QStringLiteral("Provider=PostgreSQL;Connection=");

QMutex& Lock() {
    static QMutex mutex;
    return mutex;
}

// Read by the threads of exports and prints too.
QString& Chosen() {
    static QString chosen;
    return chosen;
}
} // namespace

QString ShopConnection::Current() {
    const QMutexLocker lock(&Lock());
    return Chosen().isEmpty() ? QString::fromUtf8(ShopConnection::kFile) : Chosen();
}

void ShopConnection::Use(const QString& connectionString) {
    const QMutexLocker lock(&Lock());
    Chosen() = connectionString;
}

QString ShopConnection::ForServer(const QString& connectionInfo) {
    return kPrefix + connectionInfo;
}

QString ShopConnection::ServerInfo(const QString& connectionString) {
    return connectionString.startsWith(kPrefix, Qt::CaseInsensitive) ? connectionString.mid(kPrefix.size())
                                                                     : QString();
}

QString ShopConnection::LoadServer(const QString& folder) {
    const QString path = QDir(folder).filePath(QLatin1String(kServerSettingsFile));
    if (!QFile::exists(path))
        return {};
    return QSettings(path, QSettings::IniFormat).value(kServerKey).toString().trimmed();
}

bool ShopConnection::SaveServer(const QString& folder, const QString& connectionInfo, QString* error) {
    const QString path = QDir(folder).filePath(QLatin1String(kServerSettingsFile));
    {
        QSettings settings(path, QSettings::IniFormat);
        if (connectionInfo.trimmed().isEmpty())
            settings.remove(kServerKey);
        else
            settings.setValue(kServerKey, connectionInfo.trimmed());
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            *error = QStringLiteral("无法写入设置文件 %1。").arg(path);
            return false;
        }
    }
    // The text may hold the server's password.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}
