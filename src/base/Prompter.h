#pragma once
// Message boxes without widgets: the data layer reports through this interface, the interface
// library installs the real boxes, and tests install a recorder that answers them.
#include <QString>
#include <memory>

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, YesNo, OkCancel };
// Results, numbered as the dialogs have always known them.
enum MsgResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct MessageRequest {
    QString text;
    QString caption; // always filled: the application title when the caller gave none
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgResult defaultButton = IDOK;
};

class IPrompter {
public:
    virtual ~IPrompter() = default;
    virtual MsgResult Show(const MessageRequest& request) = 0;
};

namespace Prompter {
// The application title, the caption of every box that brings none of its own.
inline const char* const kAppTitle = "Vorix";

// Replaces the prompter and returns the previous one (null means: write to standard error).
std::unique_ptr<IPrompter> Set(std::unique_ptr<IPrompter> prompter);

// The one message box of the program. An empty caption shows the application title.
MsgResult MessageBox(const QString& text, const QString& caption = QString(), MsgIcon icon = MsgIcon::None,
                     MsgButtons buttons = MsgButtons::Ok, MsgResult defaultButton = IDOK);

// The access layer's box for an engine failure: the engine's text, warning icon, caption "Vorix".
void ReportDatabaseError(const QString& engineText);
} // namespace Prompter
