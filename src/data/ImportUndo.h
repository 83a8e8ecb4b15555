#pragma once
// 撤销导入: the last import of films or of clients still in force is taken back, as long as none of
// its films has been lent and none of its clients has a rental or a ledger row since: the rows it
// added are deleted with their keys (and a client's imported ledger rows), the rows it updated get
// their fields back as they were. The check and the writes share one transaction.
#include "data/CAdoDb.h"
#include "data/ImportWrite.h"

namespace Import {
struct Run {
    qint64 id = 0;
    QString at;
    QString optUser;
    QString file;
    int added = 0;
    int updated = 0;
};

// The newest import of this kind not yet undone.
Lookup LastRun(What what, Run* run);
// Done, Refused (*refusal says why: none to undo, or what happened since) or Failed (shown).
Outcome Undo(What what, const QString& optUser, QString* refusal);
} // namespace Import
