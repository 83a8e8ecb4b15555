#include "base/ProgramFolder.h"

#include <QCoreApplication>

QString Base::ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}
