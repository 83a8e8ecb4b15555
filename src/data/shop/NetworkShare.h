#pragma once
// Whether a folder lies on a network share. The engine's locks and its write-ahead log need every
// program that opens the shop's file on one computer, on a local disk: network file systems do not
// keep those locks reliably, and a second computer opening the file over a share corrupts it.
#include <QString>

namespace NetworkShare {
// The type of the file system that holds path, as the kernel names it in a mount table in the form
// of /proc/self/mountinfo ("ext4", "nfs4", "fuse.sshfs"); empty when no mount holds it.
QString FileSystemType(const QString& path, const QByteArray& mountinfo);
// The same, from this process's own mount table.
QString FileSystemType(const QString& path);
// True for the network file systems (NFS, SMB/CIFS, the network FUSE file systems and the like).
bool IsNetwork(const QString& type);
} // namespace NetworkShare
