#pragma once
// The statements of an import's single rows, inside its transaction (ImportWrite.h, ImportUndo.h):
// a new row's values, an existing row updated with its image before, that image put back.
#include "base/SearchKeys.h"
#include "data/ImportFields.h"

#include <QString>
#include <QStringList>

namespace Import::Rows {
// The table's columns the import fills, as an INSERT lists them.
QString Columns(What what);
// A new row's values for those columns: a field not given takes what a new row in the editor
// starts with (today for a date, 0 for a number) or stays empty.
QString NewValues(What what, const QStringList& values);
// The two texts a row's search keys are made of.
SearchKeys::Source KeySource(What what, qint64 id, const QStringList& values);
// A client's deposit and balance as given, against what it held before, into the ledger as the
// imported kinds; a field not given writes nothing.
bool Money(const QStringList& values, qint64 depositBeforeFen, qint64 balanceBeforeFen,
           const QString& optUser);
// The row of the code in values, its given fields written over and its keys anew; the row as it was
// kept in ImportRow under run. False with *refusal set when the row is no longer in the shop.
bool Update(What what, qint64 run, const QStringList& values, const QString& optUser, QString* refusal);
// The row of this ID put back as before holds it (ImportRow's image), with its keys.
bool Restore(What what, qint64 id, const QString& before);
} // namespace Import::Rows
