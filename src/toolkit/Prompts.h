#pragma once
// The two boxes the dialogs put to the clerk: a refusal, and a Yes/No question.
#include "base/Prompter.h"

#include <QString>

namespace Prompts {
// A refusal: caption "提示", warning icon, OK. An empty text refuses nothing and shows no box, so an
// action passes on whatever refusal it held back until its transaction ended.
void Refuse(const QString& text);
// A question with the question icon, 是 and 否; true when answered 是. Enter answers defaultButton:
// 否 before what destroys data.
bool Ask(const QString& question, const QString& caption, MsgResult defaultButton);
} // namespace Prompts
