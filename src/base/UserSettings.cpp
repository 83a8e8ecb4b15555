#include "base/UserSettings.h"

std::unique_ptr<QSettings> UserSettings::Open() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vorix"),
                                       QStringLiteral("vorix"));
}
