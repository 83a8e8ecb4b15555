#include "base/Prompter.h"

#include <cstdio>

namespace {
std::unique_ptr<IPrompter>& CurrentPrompter() {
    static std::unique_ptr<IPrompter> prompter;
    return prompter;
}
} // namespace

std::unique_ptr<IPrompter> SetPrompter(std::unique_ptr<IPrompter> prompter) {
    std::swap(CurrentPrompter(), prompter);
    return prompter;
}

MsgResult MessageBox(const QString& text, const QString& caption, MsgIcon icon, MsgButtons buttons,
                     MsgResult defaultButton) {
    MessageRequest request{text, caption.isEmpty() ? QString::fromUtf8(kAppTitle) : caption, icon, buttons,
                           defaultButton};
    if (auto& prompter = CurrentPrompter())
        return prompter->Show(request);
    std::fprintf(stderr, "%s: %s\n", qPrintable(request.caption), qPrintable(request.text));
    return defaultButton;
}

void ReportDatabaseError(const QString& engineText) {
    MessageBox(engineText, QString(), MsgIcon::Warning);
}
