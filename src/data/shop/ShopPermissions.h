#pragma once
// The shop's files are its owner's alone: the key is the program's, so whoever can read the file
// can read the shop. Files are 0600 and folders 0700: the database with the engine's -wal and -shm
// (which the engine makes with the database's own permissions), the backups and dbBak/.
#include <QString>

namespace ShopPermissions {
// Makes an empty file at path readable and writable by its owner only, before the engine opens it;
// false with *error set when it cannot be made.
bool CreatePrivateFile(const QString& path, QString* error);
// Makes the folder when missing, its owner's only (the folders above it as usual). False when it
// cannot be made.
bool MakePrivateFolder(const QString& path);
// Takes from the file or folder at path every permission of the group and of others (by its name:
// no descriptor is opened); true when it had any. A symbolic link is left as it is.
bool MakeOwnersOnly(const QString& path);
} // namespace ShopPermissions
