#pragma once
// The pictures compiled into the program: the application icon, the toolbar pictures and the
// background of the main window.
#include <QIcon>
#include <QPixmap>

namespace Artwork {
// The application icon at 16, 32 and 48 pixels.
QIcon AppIcon();
// A toolbar picture (32 x 32) by its name, e.g. "lend".
QIcon ToolbarPicture(const char* name);
// The 650 x 380 background of the main window.
QPixmap Background();
} // namespace Artwork
