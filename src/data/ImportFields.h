#pragma once
// The fields an import of the catalogue or of the customers fills, the names a spreadsheet's
// headings give them, and the check of one cell against the editors' own limits (CFilmInfo,
// CClientInfo, Films): the trial run refuses a row for the first cell that fails.
#include <QList>
#include <QString>
#include <QStringList>

namespace Import {
enum class What { Films, Clients };

enum class Kind {
    Code,   // the row's code: required, 20 GBK bytes
    Text,   // text within maxBytes
    Medium, // VCD or DVD
    Genre,  // one of Films::Genres()
    Region, // one of Films::Regions()
    Date,   // a day
    Count,  // a whole number from 0 to CFilmInfo::kMaxDegree
    Money,  // yuan from 0 to CClientInfo::kMaxMoney
};

struct Field {
    const char* column; // in the table
    QString heading;    // as 导出 writes it, the first of the names
    QStringList names;  // every heading that maps to it, compared without blanks and letter case
    Kind kind;
    int maxBytes = 0;      // Code and Text
    bool required = false; // an empty cell refuses a new row (the editors' 请填写必要信息)
};

// The fields in the table's order; the first is the code.
const QList<Field>& Fields(What what);
// The field each heading maps to by name (an index of Fields), or -1.
QList<int> Match(What what, const QStringList& headings);

// What a field's cell means: the value to store, or why the row is refused. An empty cell gives an
// empty value and no refusal (the caller decides). acceptUnknown takes a medium, genre or region
// that is not listed as typed.
struct Cell {
    QString value;
    QString refusal;
    bool unknown = false; // a medium, genre or region that is not listed
};
Cell Check(const Field& field, const QString& text, bool acceptUnknown);

// The name the import's records give to what was imported: 影片 or 客户.
QString WhatName(What what);
// The table the rows go to, and its code column.
QString TableOf(What what);
} // namespace Import
