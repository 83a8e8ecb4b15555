#pragma once
// The backup with its progress dialog, for the main window's 备份.
#include "data/ShopBackup.h"

#include <QString>

class QWidget;

// Copies the shop to target as ShopBackup::Copy does, on a thread of its own, while a progress
// dialog over parent shows how far it is and the windows keep painting.
bool CopyShowingProgress(QWidget* parent, const ConnectionSettings& shop, const QString& target,
                         QString* reason);
