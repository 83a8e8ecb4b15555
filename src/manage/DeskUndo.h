#pragma once
// Undoing a lending or a return made today (撤销): by the operator who made it or an
// administrator, with a reason. It writes the exact reverse of what the action wrote (the rental
// row, the film's count, the client's balance) and the ledger's rows of the action again with the
// opposite sign, noted with the action and the reason; nothing leaves the ledger. It refuses when
// something has happened since that the reverse would undo too.
#include <QString>

class CDeskAction;

namespace DeskUndo {
// Whether the operator signed in may undo it: today's, his own or he an administrator, and not
// undone already. The refusal in *refusal.
bool MayUndo(const CDeskAction& action, QString* refusal);
// Checks and writes in one transaction. False with the refusal in *refusal, or with an empty
// refusal when a read or write failed (its message is shown). *done tells what was undone.
bool Undo(int actionId, const QString& reason, QString* refusal, QString* done);
} // namespace DeskUndo
