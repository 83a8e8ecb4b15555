#pragma once
// Start-up of the interface toolkit: the real message boxes and Qt's Chinese texts.
class QApplication;

namespace Toolkit {
// Installs the QMessageBox prompter and makes Qt speak Chinese (是/否/确定/取消, dates, the file
// dialogs) whatever the system's language (ChineseLocale.h).
void InstallInterface(QApplication& app);
} // namespace Toolkit
