#include "data/shop/ShopPermissions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// chmod on the name: no descriptor of ours is opened on a file the engine may hold.
bool Restrict(const QString& path, mode_t mode) {
    struct stat status {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &status) != 0 || S_ISLNK(status.st_mode))
        return false;
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) == 0)
        return false;
    return ::chmod(name.constData(), status.st_mode & mode & 07777) == 0;
}
constexpr mode_t kOwnerOnly = S_IRWXU | S_ISUID | S_ISGID | S_ISVTX;
} // namespace

bool ShopPermissions::CreatePrivateFile(const QString& path, QString* error) {
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        *error = QStringLiteral("cannot make %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::close(descriptor);
    return true;
}

bool ShopPermissions::MakePrivateFolder(const QString& path) {
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    if (QFileInfo(absolute).isDir())
        return true;
    return QDir().mkpath(QFileInfo(absolute).path()) &&
           (::mkdir(QFile::encodeName(absolute).constData(), 0700) == 0 || QFileInfo(absolute).isDir());
}

bool ShopPermissions::MakeOwnersOnly(const QString& path) {
    return Restrict(path, kOwnerOnly);
}
