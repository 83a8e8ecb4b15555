#include "toolkit/Prompts.h"

void Refuse(const QString& text) {
    if (!text.isEmpty())
        MessageBox(text, QStringLiteral("提示"), MsgIcon::Warning);
}

bool Ask(const QString& question, const QString& caption, MsgResult defaultButton) {
    return MessageBox(question, caption, MsgIcon::Question, MsgButtons::YesNo, defaultButton) == IDYES;
}
