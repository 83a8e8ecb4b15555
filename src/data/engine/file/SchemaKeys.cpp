#include "data/engine/file/SchemaKeys.h"

#include "base/SearchKeys.h"
#include "data/engine/file/FileError.h"

#include <sqlite3.h>

namespace {
QString TextOf(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(value)) : QString();
}

void Result(sqlite3_context* context, const QString& keys) {
    const QByteArray utf8 = keys.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void FilmKeys(sqlite3_context* context, int, sqlite3_value** argv) {
    Result(context, SearchKeys::Encoded(SearchKeys::OfFilm(TextOf(argv[0]), TextOf(argv[1]))));
}

void ClientKeys(sqlite3_context* context, int, sqlite3_value** argv) {
    Result(context, SearchKeys::Encoded(SearchKeys::OfClient(TextOf(argv[0]), TextOf(argv[1]))));
}

} // namespace

const char* const SchemaKeys::kFileUpgrade =
    "CREATE TABLE IF NOT EXISTS FilmKey ( "
    "Film   INTEGER NOT NULL, "
    "Kind   INTEGER NOT NULL, "
    "Pinyin TEXT NOT NULL "
    ");"
    "CREATE TABLE IF NOT EXISTS ClientKey ( "
    "Client INTEGER NOT NULL, "
    "Kind   INTEGER NOT NULL, "
    "Pinyin TEXT NOT NULL "
    ");"
    "DELETE FROM FilmKey;"
    "DELETE FROM ClientKey;"
    // Each row's keys in one text, split into rows by a recursive query (the file's engine has no
    // table-valued functions of its own).
    "INSERT INTO FilmKey (Film, Kind, Pinyin) "
    "WITH RECURSIVE Split(Owner, Rest, Word) AS ("
    "SELECT ID, vorix_film_keys(FilmName, Playactor) || ' ', '' FROM Film "
    "UNION ALL SELECT Owner, substr(Rest, instr(Rest, ' ') + 1), substr(Rest, 1, instr(Rest, ' ') - 1) "
    "FROM Split WHERE Rest <> '') "
    "SELECT Owner, CAST(substr(Word, 1, 1) AS INTEGER), substr(Word, 2) FROM Split WHERE Word <> '';"
    "INSERT INTO ClientKey (Client, Kind, Pinyin) "
    "WITH RECURSIVE Split(Owner, Rest, Word) AS ("
    "SELECT ID, vorix_client_keys(Remark, PhoneNum) || ' ', '' FROM Client "
    "UNION ALL SELECT Owner, substr(Rest, instr(Rest, ' ') + 1), substr(Rest, 1, instr(Rest, ' ') - 1) "
    "FROM Split WHERE Rest <> '') "
    "SELECT Owner, CAST(substr(Word, 1, 1) AS INTEGER), substr(Word, 2) FROM Split WHERE Word <> '';"
    "CREATE INDEX IF NOT EXISTS FilmKey_Pinyin ON FilmKey (Pinyin, Kind, Film);"
    "CREATE INDEX IF NOT EXISTS FilmKey_Film ON FilmKey (Film);"
    "CREATE INDEX IF NOT EXISTS ClientKey_Pinyin ON ClientKey (Pinyin, Kind, Client);"
    "CREATE INDEX IF NOT EXISTS ClientKey_Client ON ClientKey (Client);";

bool SchemaKeys::RegisterFunctions(sqlite3* db, EngineError* error) {
    const bool ok = sqlite3_create_function(db, "vorix_film_keys", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                            nullptr, FilmKeys, nullptr, nullptr) == SQLITE_OK &&
                    sqlite3_create_function(db, "vorix_client_keys", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                            nullptr, ClientKeys, nullptr, nullptr) == SQLITE_OK;
    return ok || FileError::Run(db, "SELECT vorix_film_keys('', '')", error); // fails, and says why
}
