#include "data/engine/server/ServerSummaries.h"

// A disc's or customer's (key = value) newest rental day and the one before it (the same day for
// two rentals of one day).
#define VORIX_NEWEST_LENT(key, value) "(SELECT MAX(BorrowDate) FROM Record WHERE " key " = " value ")"
#define VORIX_SECOND_LENT(key, value)                                                                        \
    "(SELECT BorrowDate FROM Record WHERE " key " = " value " ORDER BY BorrowDate DESC LIMIT 1 OFFSET 1)"

// clang-format off
#define VORIX_LENT_REMOVE(table, key)                                                                        \
    "    UPDATE " table " SET LastLent = " VORIX_NEWEST_LENT(key, "OLD." key) ",\n"                          \
    "      PrevLent = " VORIX_SECOND_LENT(key, "OLD." key) "\n"                                              \
    "      WHERE " key " = OLD." key " AND OLD.BorrowDate >= COALESCE(PrevLent, '');\n"                     \
    "    DELETE FROM " table " WHERE " key " = OLD." key " AND LastLent IS NULL;\n"
#define VORIX_LENT_ADD(table, key)                                                                           \
    "    INSERT INTO " table " (" key ", LastLent, PrevLent) VALUES (NEW." key ",\n"                         \
    "        " VORIX_NEWEST_LENT(key, "NEW." key) ", " VORIX_SECOND_LENT(key, "NEW." key) ")\n"              \
    "      ON CONFLICT (" key ") DO UPDATE SET LastLent = EXCLUDED.LastLent, PrevLent = EXCLUDED.PrevLent;\n"

const char* const ServerEngine::kSummaries =
    // The index of the ledger's days that the reports read before LedgerDay.
    "DROP INDEX IF EXISTS Ledger_Days;"
    "CREATE TABLE IF NOT EXISTS LedgerDay ("
    " Day TEXT NOT NULL DEFAULT '',"
    " Kind citext COLLATE \"C\" NOT NULL DEFAULT '',"
    " OptUser citext COLLATE \"C\" NOT NULL DEFAULT '',"
    " N INTEGER NOT NULL DEFAULT 0,"
    " Fen BIGINT NOT NULL DEFAULT 0,"
    " Plus BIGINT NOT NULL DEFAULT 0,"
    " Minus BIGINT NOT NULL DEFAULT 0,"
    " PRIMARY KEY (Day, Kind, OptUser));"
    "CREATE TABLE IF NOT EXISTS FilmKinds ("
    " FilmID citext COLLATE \"C\" NOT NULL DEFAULT '',"
    " Kind citext COLLATE \"C\" NOT NULL DEFAULT '',"
    " N INTEGER NOT NULL DEFAULT 0,"
    " Fen BIGINT NOT NULL DEFAULT 0,"
    " PRIMARY KEY (FilmID, Kind));"
    "CREATE TABLE IF NOT EXISTS TitleDiscs ("
    " FilmName citext COLLATE \"C\" NOT NULL DEFAULT '' PRIMARY KEY,"
    " N INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS FilmLent ("
    " FilmID citext COLLATE \"C\" NOT NULL DEFAULT '' PRIMARY KEY,"
    " LastLent citext COLLATE \"C\","
    " PrevLent citext COLLATE \"C\");"
    "CREATE TABLE IF NOT EXISTS ClientLent ("
    " ClientID citext COLLATE \"C\" NOT NULL DEFAULT '' PRIMARY KEY,"
    " LastLent citext COLLATE \"C\","
    " PrevLent citext COLLATE \"C\");"
    "DELETE FROM LedgerDay;"
    "INSERT INTO LedgerDay (Day, Kind, OptUser, N, Fen, Plus, Minus) SELECT substr(At,1,10), Kind, OptUser,"
    " COUNT(*), SUM(Fen), SUM(GREATEST(Fen,0)), SUM(GREATEST(-Fen,0)) FROM Ledger GROUP BY 1, 2, 3;"
    "DELETE FROM FilmKinds;"
    "INSERT INTO FilmKinds (FilmID, Kind, N, Fen) SELECT FilmID, Kind, COUNT(*), SUM(Fen) FROM Ledger"
    " WHERE FilmID <> '' GROUP BY 1, 2;"
    "DELETE FROM TitleDiscs;"
    "INSERT INTO TitleDiscs (FilmName, N) SELECT FilmName, COUNT(*) FROM Film GROUP BY FilmName;"
    "DELETE FROM FilmLent;"
    "INSERT INTO FilmLent (FilmID, LastLent) SELECT FilmID, MAX(BorrowDate) FROM Record GROUP BY FilmID;"
    "UPDATE FilmLent SET PrevLent = " VORIX_SECOND_LENT("FilmID", "FilmLent.FilmID") ";"
    "DELETE FROM ClientLent;"
    "INSERT INTO ClientLent (ClientID, LastLent) SELECT ClientID, MAX(BorrowDate) FROM Record GROUP BY "
    "ClientID;"
    "UPDATE ClientLent SET PrevLent = " VORIX_SECOND_LENT("ClientID", "ClientLent.ClientID") ";"
    // A ledger row leaves its day's group and its disc's (a group's row goes with its last row) and
    // joins its new ones.
    "CREATE OR REPLACE FUNCTION vorix_ledger_day() RETURNS trigger LANGUAGE plpgsql AS $$\n"
    "BEGIN\n"
    "  IF TG_OP <> 'INSERT' THEN\n"
    "    UPDATE LedgerDay SET N = N - 1, Fen = Fen - OLD.Fen, Plus = Plus - GREATEST(OLD.Fen, 0),\n"
    "      Minus = Minus - GREATEST(-OLD.Fen, 0)\n"
    "      WHERE Day = substr(OLD.At, 1, 10) AND Kind = OLD.Kind AND OptUser = OLD.OptUser;\n"
    "    DELETE FROM LedgerDay\n"
    "      WHERE Day = substr(OLD.At, 1, 10) AND Kind = OLD.Kind AND OptUser = OLD.OptUser AND N = 0;\n"
    "    UPDATE FilmKinds SET N = N - 1, Fen = Fen - OLD.Fen WHERE FilmID = OLD.FilmID AND Kind = OLD.Kind;\n"
    "    DELETE FROM FilmKinds WHERE FilmID = OLD.FilmID AND Kind = OLD.Kind AND N = 0;\n"
    "  END IF;\n"
    "  IF TG_OP <> 'DELETE' THEN\n"
    "    INSERT INTO LedgerDay AS d (Day, Kind, OptUser, N, Fen, Plus, Minus)\n"
    "      VALUES (substr(NEW.At, 1, 10), NEW.Kind, NEW.OptUser, 1, NEW.Fen, GREATEST(NEW.Fen, 0),\n"
    "        GREATEST(-NEW.Fen, 0))\n"
    "      ON CONFLICT (Day, Kind, OptUser) DO UPDATE SET N = d.N + 1, Fen = d.Fen + EXCLUDED.Fen,\n"
    "        Plus = d.Plus + EXCLUDED.Plus, Minus = d.Minus + EXCLUDED.Minus;\n"
    "    IF NEW.FilmID <> '' THEN\n"
    "      INSERT INTO FilmKinds AS k (FilmID, Kind, N, Fen) VALUES (NEW.FilmID, NEW.Kind, 1, NEW.Fen)\n"
    "        ON CONFLICT (FilmID, Kind) DO UPDATE SET N = k.N + 1, Fen = k.Fen + EXCLUDED.Fen;\n"
    "    END IF;\n"
    "  END IF;\n"
    "  RETURN NULL;\n"
    "END $$;"
    "DROP TRIGGER IF EXISTS Ledger_Day ON Ledger;"
    "CREATE TRIGGER Ledger_Day AFTER INSERT OR DELETE OR UPDATE OF At, Kind, OptUser, Fen, FilmID ON Ledger"
    " FOR EACH ROW EXECUTE FUNCTION vorix_ledger_day();"
    // A rental added, or one gone or changed that held its disc's or customer's newest day or the
    // one before it, has both read again from the rentals (none left: the row goes).
    "CREATE OR REPLACE FUNCTION vorix_record_lent() RETURNS trigger LANGUAGE plpgsql AS $$\n"
    "BEGIN\n"
    "  IF TG_OP = 'UPDATE' AND OLD.FilmID = NEW.FilmID AND OLD.ClientID = NEW.ClientID\n"
    "      AND OLD.BorrowDate = NEW.BorrowDate THEN\n"
    "    RETURN NULL;\n"
    "  END IF;\n"
    "  IF TG_OP <> 'INSERT' THEN\n"
        VORIX_LENT_REMOVE("FilmLent", "FilmID")
        VORIX_LENT_REMOVE("ClientLent", "ClientID")
    "  END IF;\n"
    "  IF TG_OP <> 'DELETE' THEN\n"
        VORIX_LENT_ADD("FilmLent", "FilmID")
        VORIX_LENT_ADD("ClientLent", "ClientID")
    "  END IF;\n"
    "  RETURN NULL;\n"
    "END $$;"
    "DROP TRIGGER IF EXISTS Record_Lent ON Record;"
    "CREATE TRIGGER Record_Lent AFTER INSERT OR DELETE OR UPDATE OF FilmID, ClientID, BorrowDate ON Record"
    " FOR EACH ROW EXECUTE FUNCTION vorix_record_lent();"
    // A disc leaves its title's count (the title's row goes with its last disc) and joins its new one.
    "CREATE OR REPLACE FUNCTION vorix_film_title() RETURNS trigger LANGUAGE plpgsql AS $$\n"
    "BEGIN\n"
    "  IF TG_OP = 'UPDATE' AND OLD.FilmName = NEW.FilmName THEN\n"
    "    RETURN NULL;\n"
    "  END IF;\n"
    "  IF TG_OP <> 'INSERT' THEN\n"
    "    UPDATE TitleDiscs SET N = N - 1 WHERE FilmName = OLD.FilmName;\n"
    "    DELETE FROM TitleDiscs WHERE FilmName = OLD.FilmName AND N = 0;\n"
    "  END IF;\n"
    "  IF TG_OP <> 'DELETE' THEN\n"
    "    INSERT INTO TitleDiscs AS t (FilmName, N) VALUES (NEW.FilmName, 1)\n"
    "      ON CONFLICT (FilmName) DO UPDATE SET N = t.N + 1;\n"
    "  END IF;\n"
    "  RETURN NULL;\n"
    "END $$;"
    "DROP TRIGGER IF EXISTS Film_Title ON Film;"
    "CREATE TRIGGER Film_Title AFTER INSERT OR DELETE OR UPDATE OF FilmName ON Film"
    " FOR EACH ROW EXECUTE FUNCTION vorix_film_title();";
// clang-format on

// The macros end with this file: a unity build may compile the file's summaries in the same unit.
#undef VORIX_NEWEST_LENT
#undef VORIX_SECOND_LENT
#undef VORIX_LENT_REMOVE
#undef VORIX_LENT_ADD
