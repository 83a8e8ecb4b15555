#pragma once
// Vorix speaks Chinese whatever the system's language: Qt's own texts (file and print dialogs,
// buttons), its dates, day and month names and numbers are those of zh_CN.
class QCoreApplication;

namespace Toolkit {
// Makes zh_CN the default locale and loads Qt's Chinese translation, with the few texts it lacks.
void UseChinese(QCoreApplication& app);
} // namespace Toolkit
