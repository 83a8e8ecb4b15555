#include "data/engine/file/SchemaSummaries.h"

// The tables; no row id, the key is the row's place.
#define VORIX_SUMMARY_TABLES                                                                                 \
    "CREATE TABLE IF NOT EXISTS LedgerDay ( "                                                                \
    "Day     TEXT NOT NULL DEFAULT '', "                                                                     \
    "Kind    TEXT COLLATE NOCASE NOT NULL DEFAULT '', "                                                      \
    "OptUser TEXT COLLATE NOCASE NOT NULL DEFAULT '', "                                                      \
    "N       INTEGER NOT NULL DEFAULT 0, "                                                                   \
    "Fen     INTEGER NOT NULL DEFAULT 0, "                                                                   \
    "Plus    INTEGER NOT NULL DEFAULT 0, "                                                                   \
    "Minus   INTEGER NOT NULL DEFAULT 0, "                                                                   \
    "PRIMARY KEY (Day, Kind, OptUser) "                                                                      \
    ") WITHOUT ROWID;"                                                                                       \
    "CREATE TABLE IF NOT EXISTS FilmKinds ( "                                                                \
    "FilmID TEXT COLLATE NOCASE NOT NULL DEFAULT '', "                                                       \
    "Kind   TEXT COLLATE NOCASE NOT NULL DEFAULT '', "                                                       \
    "N      INTEGER NOT NULL DEFAULT 0, "                                                                    \
    "Fen    INTEGER NOT NULL DEFAULT 0, "                                                                    \
    "PRIMARY KEY (FilmID, Kind) "                                                                            \
    ") WITHOUT ROWID;"                                                                                       \
    "CREATE TABLE IF NOT EXISTS TitleDiscs ( "                                                               \
    "FilmName TEXT COLLATE NOCASE NOT NULL DEFAULT '' PRIMARY KEY, "                                         \
    "N        INTEGER NOT NULL DEFAULT 0 "                                                                   \
    ") WITHOUT ROWID;"                                                                                       \
    "CREATE TABLE IF NOT EXISTS FilmLent ( "                                                                 \
    "FilmID   TEXT COLLATE NOCASE NOT NULL DEFAULT '' PRIMARY KEY, "                                         \
    "LastLent TEXT COLLATE NOCASE, "                                                                         \
    "PrevLent TEXT COLLATE NOCASE "                                                                          \
    ") WITHOUT ROWID;"                                                                                       \
    "CREATE TABLE IF NOT EXISTS ClientLent ( "                                                               \
    "ClientID TEXT COLLATE NOCASE NOT NULL DEFAULT '' PRIMARY KEY, "                                         \
    "LastLent TEXT COLLATE NOCASE, "                                                                         \
    "PrevLent TEXT COLLATE NOCASE "                                                                          \
    ") WITHOUT ROWID;"

// clang-format off
#define VORIX_SUMMARY_FILL                                                                                   \
    "DELETE FROM LedgerDay;"                                                                                 \
    "INSERT INTO LedgerDay (Day, Kind, OptUser, N, Fen, Plus, Minus) SELECT substr(At,1,10), Kind, "         \
    "OptUser, COUNT(*), SUM(Fen), SUM(max(Fen,0)), SUM(max(-Fen,0)) FROM Ledger "                            \
    "GROUP BY substr(At,1,10), Kind, OptUser;"                                                               \
    "DELETE FROM FilmKinds;"                                                                                 \
    "INSERT INTO FilmKinds (FilmID, Kind, N, Fen) SELECT FilmID, Kind, COUNT(*), SUM(Fen) FROM Ledger "      \
    "WHERE FilmID<>'' GROUP BY FilmID, Kind;"                                                                \
    "DELETE FROM TitleDiscs;"                                                                                \
    "INSERT INTO TitleDiscs (FilmName, N) SELECT FilmName, COUNT(*) FROM Film GROUP BY FilmName;"            \
    "DELETE FROM FilmLent;"                                                                                  \
    "INSERT INTO FilmLent (FilmID, LastLent) SELECT FilmID, MAX(BorrowDate) FROM Record GROUP BY FilmID;"    \
    "UPDATE FilmLent SET PrevLent=" VORIX_SECOND_LENT("FilmID", "FilmLent.FilmID") ";"                      \
    "DELETE FROM ClientLent;"                                                                                \
    "INSERT INTO ClientLent (ClientID, LastLent) SELECT ClientID, MAX(BorrowDate) FROM Record "              \
    "GROUP BY ClientID;"                                                                                     \
    "UPDATE ClientLent SET PrevLent=" VORIX_SECOND_LENT("ClientID", "ClientLent.ClientID") ";"
// clang-format on

// A ledger row joins its day's group and its disc's, or leaves them (a group's row goes with its
// last row).
#define VORIX_LEDGER_ADD(row)                                                                                \
    "INSERT OR IGNORE INTO LedgerDay (Day, Kind, OptUser) VALUES (substr(" row ".At,1,10), " row             \
    ".Kind, " row ".OptUser);"                                                                               \
    "UPDATE LedgerDay SET N=N+1, Fen=Fen+" row ".Fen, Plus=Plus+max(" row ".Fen,0), Minus=Minus+max(-" row   \
    ".Fen,0) WHERE Day=substr(" row ".At,1,10) AND Kind=" row ".Kind AND OptUser=" row ".OptUser;"           \
    "INSERT OR IGNORE INTO FilmKinds (FilmID, Kind) SELECT " row ".FilmID, " row ".Kind WHERE " row          \
    ".FilmID<>'';"                                                                                           \
    "UPDATE FilmKinds SET N=N+1, Fen=Fen+" row ".Fen WHERE FilmID=" row ".FilmID AND Kind=" row ".Kind;"
#define VORIX_LEDGER_REMOVE(row)                                                                             \
    "UPDATE LedgerDay SET N=N-1, Fen=Fen-" row ".Fen, Plus=Plus-max(" row ".Fen,0), Minus=Minus-max(-" row   \
    ".Fen,0) WHERE Day=substr(" row ".At,1,10) AND Kind=" row ".Kind AND OptUser=" row ".OptUser;"           \
    "DELETE FROM LedgerDay WHERE Day=substr(" row ".At,1,10) AND Kind=" row ".Kind AND OptUser=" row         \
    ".OptUser AND N=0;"                                                                                      \
    "UPDATE FilmKinds SET N=N-1, Fen=Fen-" row ".Fen WHERE FilmID=" row ".FilmID AND Kind=" row ".Kind;"     \
    "DELETE FROM FilmKinds WHERE FilmID=" row ".FilmID AND Kind=" row ".Kind AND N=0;"

// A disc's or customer's newest rental day and the one before it (the same day for two rentals of
// one day), read from the rentals by one index; a rental added, or one gone or changed that held one
// of the two, has them read again (none left: the row goes).
#define VORIX_SECOND_LENT(key, value)                                                                        \
    "(SELECT BorrowDate FROM Record WHERE " key "=" value " ORDER BY BorrowDate DESC LIMIT 1 OFFSET 1)"
#define VORIX_LENT_ADD(table, key)                                                                           \
    "INSERT OR REPLACE INTO " table " (" key ", LastLent, PrevLent) VALUES (new." key ", (SELECT "           \
    "MAX(BorrowDate) FROM Record WHERE " key "=new." key "), " VORIX_SECOND_LENT(key, "new." key) ");"
// clang-format off
#define VORIX_LENT_REMOVE(table, key)                                                                        \
    "UPDATE " table " SET LastLent=(SELECT MAX(BorrowDate) FROM Record WHERE " key "=old." key "), "         \
    "PrevLent=" VORIX_SECOND_LENT(key, "old." key) " WHERE " key "=old." key " AND "                         \
    "old.BorrowDate>=IFNULL(PrevLent,'');"                                                                   \
    "DELETE FROM " table " WHERE " key "=old." key " AND LastLent IS NULL;"
// clang-format on

// A disc joins its title's count, or leaves it (a title's row goes with its last disc).
#define VORIX_TITLE_ADD                                                                                      \
    "INSERT OR IGNORE INTO TitleDiscs (FilmName) VALUES (new.FilmName);"                                     \
    "UPDATE TitleDiscs SET N=N+1 WHERE FilmName=new.FilmName;"
#define VORIX_TITLE_REMOVE                                                                                   \
    "UPDATE TitleDiscs SET N=N-1 WHERE FilmName=old.FilmName;"                                               \
    "DELETE FROM TitleDiscs WHERE FilmName=old.FilmName AND N=0;"

// clang-format off
#define VORIX_SUMMARY_TRIGGERS                                                                          \
    "CREATE TRIGGER IF NOT EXISTS Ledger_DayAdd AFTER INSERT ON Ledger BEGIN "                          \
        VORIX_LEDGER_ADD("new") " END;"                                                                 \
    "CREATE TRIGGER IF NOT EXISTS Ledger_DayRemove AFTER DELETE ON Ledger BEGIN "                       \
        VORIX_LEDGER_REMOVE("old") " END;"                                                              \
    "CREATE TRIGGER IF NOT EXISTS Ledger_DayChange AFTER UPDATE OF At, Kind, OptUser, Fen, FilmID ON "   \
    "Ledger BEGIN "                                                                                     \
        VORIX_LEDGER_REMOVE("old") VORIX_LEDGER_ADD("new") " END;"                                      \
    "CREATE TRIGGER IF NOT EXISTS Record_LentAdd AFTER INSERT ON Record BEGIN "                         \
        VORIX_LENT_ADD("FilmLent", "FilmID") VORIX_LENT_ADD("ClientLent", "ClientID") " END;"           \
    "CREATE TRIGGER IF NOT EXISTS Record_LentRemove AFTER DELETE ON Record BEGIN "                      \
        VORIX_LENT_REMOVE("FilmLent", "FilmID") VORIX_LENT_REMOVE("ClientLent", "ClientID") " END;"     \
    "CREATE TRIGGER IF NOT EXISTS Record_LentChange AFTER UPDATE OF FilmID, ClientID, BorrowDate ON "   \
    "Record WHEN old.FilmID IS NOT new.FilmID OR old.ClientID IS NOT new.ClientID OR old.BorrowDate "   \
    "IS NOT new.BorrowDate BEGIN "                                                                      \
        VORIX_LENT_REMOVE("FilmLent", "FilmID") VORIX_LENT_REMOVE("ClientLent", "ClientID")             \
        VORIX_LENT_ADD("FilmLent", "FilmID") VORIX_LENT_ADD("ClientLent", "ClientID") " END;"           \
    "CREATE TRIGGER IF NOT EXISTS Film_TitleAdd AFTER INSERT ON Film BEGIN " VORIX_TITLE_ADD " END;"    \
    "CREATE TRIGGER IF NOT EXISTS Film_TitleRemove AFTER DELETE ON Film BEGIN " VORIX_TITLE_REMOVE      \
        " END;"                                                                                         \
    "CREATE TRIGGER IF NOT EXISTS Film_TitleChange AFTER UPDATE OF FilmName ON Film WHEN old.FilmName " \
    "IS NOT new.FilmName BEGIN " VORIX_TITLE_REMOVE VORIX_TITLE_ADD " END;"
// clang-format on

// The index of the ledger's days that the reports read before LedgerDay goes.
const char* const SchemaSummaries::kFileUpgrade =
    "DROP INDEX IF EXISTS Ledger_Days;" VORIX_SUMMARY_TABLES VORIX_SUMMARY_FILL VORIX_SUMMARY_TRIGGERS;
const char* const SchemaSummaries::kFill = VORIX_SUMMARY_FILL;

// The macros end with this file: a unity build may compile the server's summaries in the same unit.
#undef VORIX_SUMMARY_TABLES
#undef VORIX_SUMMARY_FILL
#undef VORIX_LEDGER_ADD
#undef VORIX_LEDGER_REMOVE
#undef VORIX_SECOND_LENT
#undef VORIX_LENT_ADD
#undef VORIX_LENT_REMOVE
#undef VORIX_TITLE_ADD
#undef VORIX_TITLE_REMOVE
#undef VORIX_SUMMARY_TRIGGERS
