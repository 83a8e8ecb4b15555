#pragma once
// The backup with its progress dialog, for the main window's 备份.
#include "data/shop/ShopBackup.h"

#include <QString>

class QWidget;

// Copies the shop that connectionString names to target, on a thread of its own, while a progress
// dialog over parent shows how far it is and the windows keep painting: the shop file as
// ShopBackup::Copy does, a shop on a database server into a new shop file as vorix-migrate --back
// does (ServerDatabase::CopyToFile).
namespace BackupProgress {
bool CopyShowingProgress(QWidget* parent, const QString& connectionString, const QString& target,
                         QString* reason);
} // namespace BackupProgress
