#pragma once
// The folder of the running executable: the database and dbBak/ live beside it.
#include <QString>

namespace Base {
// The folder of the running executable, whatever the file is called.
QString ProgramFolder();
} // namespace Base
