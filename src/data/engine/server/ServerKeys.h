#pragma once
// The server's upgrade to the pinyin search keys: the tables FilmKey and ClientKey, filled from
// every film and client by the program (src/base/SearchKeys.h), as the file's upgrade fills them.
#include "base/SearchKeys.h"
#include "data/engine/server/ServerConnection.h"

#include <QByteArrayList>

namespace ServerEngine {
// The tables, empty; then FillKeys writes their rows and makes their indexes.
extern const char* const kKeyTables;
// Inside the upgrade's transaction: the keys of every film and client, then the indexes.
bool FillKeys(ServerConnection& connection);
// The INSERT statements that write the keys of the rows into the table (FilmKey or ClientKey), a
// few thousand rows each.
QByteArrayList KeyInserts(const char* table, const QList<SearchKeys::Source>& rows, bool films);
} // namespace ServerEngine
