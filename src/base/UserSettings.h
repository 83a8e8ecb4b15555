#pragma once
// The settings of the user who runs Vorix, beside the shop's own: where the shop folder is,
// the window places and column widths, the last operator who logged in
// (~/.config/vorix/vorix.conf).
#include <QSettings>
#include <memory>

namespace UserSettings {
std::unique_ptr<QSettings> Open();
} // namespace UserSettings
