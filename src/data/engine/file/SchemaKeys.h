#pragma once
// The file's upgrade to the pinyin search keys: the tables FilmKey and ClientKey, filled from every
// film and client by SQL functions that the upgrade registers on its connection.
struct sqlite3;
struct EngineError;

namespace SchemaKeys {
// The upgrade's statements: the tables, their rows, then their indexes (built once, after the rows).
extern const char* const kFileUpgrade;
// Registers vorix_film_keys(title, actor) and vorix_client_keys(remark, phone): a row's keys in
// one text, "1cjqh 1zjqh 2changjiangqihao" (SearchKeys::Encoded). False with *error on failure.
bool RegisterFunctions(sqlite3* db, EngineError* error);
} // namespace SchemaKeys
