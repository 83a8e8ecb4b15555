#include "base/Prompter.h"

#include <cstdio>

namespace {
std::unique_ptr<IPrompter>& CurrentPrompter() {
    static std::unique_ptr<IPrompter> prompter;
    return prompter;
}
} // namespace

std::unique_ptr<IPrompter> Prompter::Set(std::unique_ptr<IPrompter> prompter) {
    std::swap(CurrentPrompter(), prompter);
    return prompter;
}

MsgResult Prompter::MessageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                               MsgResult defaultButton) {
    MessageRequest request{text, caption.isEmpty() ? QString::fromUtf8(Prompter::kAppTitle) : caption, icon,
                           buttons, defaultButton};
    if (auto& prompter = CurrentPrompter())
        return prompter->Show(request);
    std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(request.text));
    return defaultButton;
}

void Prompter::ReportDatabaseError(const QString& engineText) {
    Prompter::MessageBox(engineText, QString(), MsgIcon::Warning);
}
