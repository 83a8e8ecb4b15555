#pragma once
// The trial run of an import: every row of the file with its fate (new, already in the shop and
// then updated or skipped, or refused with the reason in Chinese), and the counts. It only reads
// the shop; the import itself (ImportWrite.h) writes what the plan accepts.
#include "base/CsvRead.h"
#include "data/ImportFields.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Import {
struct Options {
    bool updateExisting = false; // a code already in the shop: update its mapped fields, or skip it
    bool acceptUnknown = false;  // a medium, genre or region not listed: take it as typed, or refuse
};

enum class Fate { New, Update, Skip, Refused };
QString FateName(Fate fate); // 新增, 更新, 跳过, 拒绝

struct PlannedRow {
    int line = 0;
    Fate fate = Fate::Refused;
    QString reason;
    QStringList values; // per field of Fields(what): the value to store; empty where not given
};

struct Plan {
    What what = What::Films;
    QList<int> mapping; // per column of the file: the field, or -1
    QList<PlannedRow> rows;
    int count[4] = {0, 0, 0, 0}; // per Fate

    int Count(Fate fate) const { return count[int(fate)]; }
    // The rows the import writes: new ones and those it updates.
    int Accepted() const { return Count(Fate::New) + Count(Fate::Update); }
};

// The plan of the table under this mapping. False when the shop's codes could not be read (*error
// says why); nothing is written in any case.
bool Trial(What what, const CsvRead::Table& table, const QList<int>& mapping, const Options& options,
           Plan* plan, QString* error);

// A code as the shop compares codes: without regard to letter case.
QString Folded(const QString& code);
} // namespace Import
