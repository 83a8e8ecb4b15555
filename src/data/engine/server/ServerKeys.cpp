#include "data/engine/server/ServerKeys.h"

#include "base/SearchKeys.h"

namespace ServerEngine {
const char* const kKeyTables =
    "CREATE TABLE IF NOT EXISTS FilmKey (Film INTEGER NOT NULL, Kind INTEGER NOT NULL, "
    "Pinyin TEXT COLLATE \"C\" NOT NULL);"
    "CREATE TABLE IF NOT EXISTS ClientKey (Client INTEGER NOT NULL, Kind INTEGER NOT NULL, "
    "Pinyin TEXT COLLATE \"C\" NOT NULL);"
    "DELETE FROM FilmKey; DELETE FROM ClientKey";

namespace {
// Every row of a table with the two texts keyed; false when the read failed.
bool ReadSources(ServerConnection& connection, const QString& sql, QList<SearchKeys::Source>* rows) {
    bool ok = false;
    auto stmt = connection.Prepare(sql, &ok);
    if (!ok || !stmt)
        return false;
    EngineStatement::Step step;
    while ((step = stmt->Next()) == EngineStatement::Row)
        rows->append({stmt->Text(0).toLongLong(), stmt->Text(1), stmt->Text(2)});
    return step == EngineStatement::Done;
}

bool Write(ServerConnection& connection, const char* table, const QList<SearchKeys::Source>& rows,
           bool films) {
    for (const QByteArray& insert : KeyInserts(table, rows, films)) {
        if (!connection.Run(insert.constData()))
            return false;
    }
    return true;
}
} // namespace

bool FillKeys(ServerConnection& connection) {
    QList<SearchKeys::Source> films, clients;
    return ReadSources(connection, QStringLiteral("SELECT ID, FilmName, Playactor FROM Film"), &films) &&
           ReadSources(connection, QStringLiteral("SELECT ID, Remark, PhoneNum FROM Client"), &clients) &&
           Write(connection, "FilmKey", films, true) && Write(connection, "ClientKey", clients, false) &&
           connection.Run("CREATE INDEX IF NOT EXISTS FilmKey_Pinyin ON FilmKey (Pinyin, Kind, Film);"
                          "CREATE INDEX IF NOT EXISTS FilmKey_Film ON FilmKey (Film);"
                          "CREATE INDEX IF NOT EXISTS ClientKey_Pinyin ON ClientKey (Pinyin, Kind, Client);"
                          "CREATE INDEX IF NOT EXISTS ClientKey_Client ON ClientKey (Client);"
                          "ANALYZE FilmKey; ANALYZE ClientKey");
}

QByteArrayList KeyInserts(const char* table, const QList<SearchKeys::Source>& rows, bool films) {
    const QByteArray head = QByteArray("INSERT INTO ") + table +
                            (films ? " (Film, Kind, Pinyin) VALUES " : " (Client, Kind, Pinyin) VALUES ");
    QByteArrayList statements;
    QByteArray values;
    int count = 0;
    for (const SearchKeys::Source& row : rows) {
        const QByteArray more =
            SearchKeys::Values(row.id, films ? SearchKeys::OfFilm(row.first, row.second)
                                             : SearchKeys::OfClient(row.first, row.second));
        if (more.isEmpty())
            continue;
        values += (values.isEmpty() ? "" : ",") + more;
        if (++count == 2000) {
            statements << head + values;
            values.clear();
            count = 0;
        }
    }
    if (!values.isEmpty())
        statements << head + values;
    return statements;
}
} // namespace ServerEngine
