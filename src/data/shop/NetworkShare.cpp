#include "data/shop/NetworkShare.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// A field of the mount table: spaces, tabs, newlines and backslashes stand as octal escapes.
QString Unescape(const QByteArray& field) {
    QByteArray text;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                text += char(code);
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return QString::fromUtf8(text);
}

// True when folder is the mount point or lies below it.
bool Holds(const QString& mountPoint, const QString& folder) {
    if (mountPoint == QLatin1String("/"))
        return true;
    return folder == mountPoint || folder.startsWith(mountPoint + QLatin1Char('/'));
}
} // namespace

QString NetworkShare::FileSystemType(const QString& path, const QByteArray& mountinfo) {
    // The folder as the kernel sees it: links resolved; a file not made yet is judged by its folder.
    const QFileInfo info(path);
    QString folder = info.canonicalFilePath();
    if (folder.isEmpty()) {
        const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
        folder = parent.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                                  : parent + QLatin1Char('/') + info.fileName();
    }
    QString type;
    int longest = -1;
    for (const QByteArray& line : mountinfo.split('\n')) {
        // "36 35 98:0 /root /mnt/point rw,noatime shared:1 - ext4 /dev/sda1 rw"
        const int separator = line.indexOf(" - ");
        if (separator < 0)
            continue;
        const QByteArrayList head = line.left(separator).split(' ');
        const QByteArrayList tail = line.mid(separator + 3).split(' ');
        if (head.size() < 5 || tail.isEmpty())
            continue;
        const QString mountPoint = Unescape(head.at(4));
        // The deepest mount holding the folder wins; of two at one point, the later covers the other.
        if (Holds(mountPoint, folder) && mountPoint.size() >= longest) {
            longest = int(mountPoint.size());
            type = Unescape(tail.at(0));
        }
    }
    return type;
}

QString NetworkShare::FileSystemType(const QString& path) {
    // The mount table is a file of the kernel's, never the shop's: reading it holds no lock.
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly))
        return QString();
    return FileSystemType(path, table.readAll());
}

bool NetworkShare::IsNetwork(const QString& type) {
    static const char* const kNetwork[] = {"nfs",   "nfs4", "cifs",  "smb3",      "smbfs",  "ncpfs",
                                           "afs",   "9p",   "ceph",  "glusterfs", "lustre", "gpfs",
                                           "davfs", "coda", "ocfs2", "gfs2"};
    for (const char* network : kNetwork) {
        if (type == QLatin1String(network))
            return true;
    }
    // FUSE file systems that reach another computer.
    static const char* const kNetworkFuse[] = {"sshfs",  "rclone",   "s3fs",      "gcsfuse",  "curlftpfs",
                                               "davfs2", "smbnetfs", "glusterfs", "cephfs",   "gvfsd-fuse",
                                               "goofys", "blobfuse", "juicefs",   "seaweedfs"};
    if (type.startsWith(QLatin1String("fuse."))) {
        const QString kind = type.mid(5);
        for (const char* network : kNetworkFuse) {
            if (kind == QLatin1String(network))
                return true;
        }
    }
    return false;
}
