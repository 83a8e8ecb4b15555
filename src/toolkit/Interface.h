#pragma once
// Start-up of the interface toolkit: the real message boxes and Qt's Chinese texts.
class QApplication;

namespace Toolkit {
// Installs the QMessageBox prompter and loads Qt's Chinese translation (是/否/确定/取消).
void InstallInterface(QApplication& app);
} // namespace Toolkit
