#pragma once
// The import itself: the rows a trial run (ImportPlan.h) accepted, written in one transaction, all
// or nothing, with each row's search keys; the codes are checked again inside it, so a row another
// desk added since the trial run refuses the whole import rather than slipping in a duplicate. A
// client's opening balance and deposit go into the ledger as kinds of their own (CLedgerInfo's
// kImportedTopUp, kImportedDeposit) that no sum of cash counts. Each import is kept (ImportRun), with
// the rows it added and the rows it updated as they were before (ImportRow), so that the last one
// can be undone (ImportUndo.h). Safe to run off the window's thread.
#include "data/ImportPlan.h"

#include <functional>

namespace Import {
enum class Outcome { Done, Cancelled, Refused, Failed };
// Told the rows written so far and how many there are; false cancels, and nothing is written.
using Progress = std::function<bool(int done, int total)>;

// Refused leaves the reason in *refusal; Failed means the engine's message has been shown.
Outcome Write(const Plan& plan, const QString& fileName, const QString& optUser, const Progress& progress,
              QString* refusal);

} // namespace Import
