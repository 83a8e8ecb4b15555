#pragma once
// Every command of the main window in one table. The menus, the shortcut keys, the toolbar and the
// status-bar prompts are all built from it, and each row names the object and member that handle it.
#include "app/Command.h"

// The rows in menu order.
namespace Commands {
const std::vector<CommandRow>& Table();
} // namespace Commands
