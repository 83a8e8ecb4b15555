#pragma once
// What the import's tests share: files to import, the whole shop as rows, an import run as the
// window runs it.
#include "data/ImportPlan.h"
#include "data/ImportWrite.h"

#include <QByteArray>
#include <QString>

namespace ImportShop {
// Every row of every table of the shop but the imports' own, sorted, one table after another.
QString Everything();
// The plan of these bytes as a file, under the mapping by headings.
Import::Plan TrialOf(Import::What what, const QByteArray& bytes, Import::Options options = {});
// Trial run and import of the bytes; the outcome.
Import::Outcome Imported(Import::What what, const QByteArray& bytes, Import::Options options = {},
                         QString* refusal = nullptr);
} // namespace ImportShop
