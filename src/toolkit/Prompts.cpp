#include "toolkit/Prompts.h"

void Prompts::Refuse(const QString& text) {
    if (!text.isEmpty())
        Prompter::MessageBox(text, QStringLiteral("提示"), MsgIcon::Warning);
}

bool Prompts::Ask(const QString& question, const QString& caption, MsgResult defaultButton) {
    return Prompter::MessageBox(question, caption, MsgIcon::Question, MsgButtons::YesNo, defaultButton) ==
           IDYES;
}
