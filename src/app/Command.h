#pragma once
// One command of the main window: where it sits in the menus and the toolbar, what the status bar
// says of it, and the object and member that handle it. The frame is given its rows; the table of
// them is in app/CommandTable.h.
#include <functional>
#include <variant>
#include <vector>

class CBackdropView;
class CMainFrame;
class CRentalApp;

using ViewHandler = void (CBackdropView::*)();
using FrameHandler = void (CMainFrame::*)();
using AppHandler = void (CRentalApp::*)();
// The view is offered the desk and management commands, the frame logout, backup, cleanup and the
// bar toggles, the application Exit and About.
using CommandHandler = std::variant<std::monostate, ViewHandler, FrameHandler, AppHandler>;

struct CommandRow {
    const char* menu;    // title of the menu the item sits in
    const char* text;    // item text without its key; nullptr for a separator
    const char* key;     // shortcut in QKeySequence's portable form, nullptr for none
    int slot;            // toolbar slot, -1 for no button
    const char* label;   // label under the button
    const char* picture; // name of the button's picture
    const char* prompt;  // status-bar prompt; the part after "\n" is the button's tooltip
    bool checkable;      // the item's check mark shows whether its bar is visible
    CommandHandler handler;
};

// Number of toolbar slots, separators included.
namespace Commands {
constexpr int kToolbarSlots = 11;
} // namespace Commands
// Runs an application command on the application object.
using AppCommandRunner = std::function<void(AppHandler)>;
