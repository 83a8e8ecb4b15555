#include "data/engine/file/SchemaUpgrade.h"

#include "base/PasswordHash.h"
#include "data/engine/file/FileError.h"
#include "data/engine/file/SchemaKeys.h"
#include "data/engine/file/SchemaSummaries.h"

#include <QByteArray>
#include <QRegularExpression>
#include <iterator>
#include <sqlite3.h>

namespace {
// What each version adds to the one before it: kFileUpgrades[n] takes a file from version n to n + 1.
// res/schema.sql holds the same objects for a new file, which is then brought up to date too.
// Only objects beside the rows (a new table among them), and the one change of the passwords'
// stored form.
const char* const kFileUpgrades[] = {
    // 1: the rental browser's filters read their rows newest first straight from an index.
    "CREATE INDEX IF NOT EXISTS Record_Type ON Record (Type);"
    "CREATE INDEX IF NOT EXISTS Record_Out ON Record (ReturnDate) WHERE ReturnDate = '';",
    // 2: each password stored as typed becomes its salted hash (vorix_password_hash, below).
    "UPDATE Operator SET OptPwd = vorix_password_hash(OptPwd);",
    // 3: the rental browser's searches by film name and by lending date read through indexes.
    "CREATE INDEX IF NOT EXISTS Film_NameCode ON Film (FilmName, FilmID);"
    "CREATE INDEX IF NOT EXISTS Record_BorrowDate ON Record (BorrowDate);",
    // 4: the ledger of every movement of money (CLedgerInfo.h), and the shop's options
    // (COptionInfo.h).
    "CREATE TABLE IF NOT EXISTS Ledger ( "
    "ID       INTEGER PRIMARY KEY AUTOINCREMENT, "
    "At       TEXT NOT NULL DEFAULT '', "
    "Day      TEXT NOT NULL DEFAULT '', "
    "OptUser  TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Kind     TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Fen      INTEGER NOT NULL DEFAULT 0, "
    "ClientID TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "FilmID   TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "RentID   INTEGER NOT NULL DEFAULT 0, "
    "Note     TEXT COLLATE NOCASE NOT NULL DEFAULT '' "
    ");"
    "CREATE INDEX IF NOT EXISTS Ledger_At ON Ledger (At);"
    "CREATE TABLE IF NOT EXISTS Options ( "
    "Name  TEXT COLLATE NOCASE PRIMARY KEY, "
    "Value TEXT NOT NULL DEFAULT '' "
    ");",
    // 5: the film window sorted by any heading reads its first screen straight from an index.
    "CREATE INDEX IF NOT EXISTS Film_Playactor ON Film (Playactor);"
    "CREATE INDEX IF NOT EXISTS Film_Type ON Film (Type);"
    "CREATE INDEX IF NOT EXISTS Film_Class1 ON Film (Class1);"
    "CREATE INDEX IF NOT EXISTS Film_Class2 ON Film (Class2);"
    "CREATE INDEX IF NOT EXISTS Film_StgDate ON Film (StgDate);"
    "CREATE INDEX IF NOT EXISTS Film_Degree ON Film (Degree);"
    "CREATE INDEX IF NOT EXISTS Film_Remark ON Film (Remark);",
    // 6: the reports read the ledger's days, kinds, operators and amounts from an index alone, a
    // day's rows together; a disc's or a customer's last lending, and the returns of a period, from
    // one probe of an index each (Reports.h).
    "CREATE INDEX IF NOT EXISTS Ledger_Days ON Ledger (substr(At,1,10), Kind, OptUser, Fen, At);"
    "CREATE INDEX IF NOT EXISTS Record_FilmBorrow ON Record (FilmID, BorrowDate);"
    "CREATE INDEX IF NOT EXISTS Record_ClientBorrow ON Record (ClientID, BorrowDate);"
    "CREATE INDEX IF NOT EXISTS Record_ReturnDate ON Record (ReturnDate, OptUser);",
    // 7: the pinyin search keys of every film and client (SchemaKeys.h), the indexes made after.
    SchemaKeys::kFileUpgrade,
    // 8: the desk's rows beside the rentals: a per-day rental's contact (RentContact.h), each desk's
    // opening float (DrawerFloat.h), and the lendings and returns that can be undone (DeskAction.h).
    "CREATE TABLE IF NOT EXISTS RentContact ( "
    "RentID INTEGER PRIMARY KEY, "
    "Name   TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Phone  TEXT COLLATE NOCASE NOT NULL DEFAULT '' "
    ");"
    "CREATE TABLE IF NOT EXISTS DrawerFloat ( "
    "Day     TEXT NOT NULL DEFAULT '', "
    "Desk    TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "OptUser TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Fen     INTEGER NOT NULL DEFAULT 0, "
    "At      TEXT NOT NULL DEFAULT '', "
    "PRIMARY KEY (Day, Desk) "
    ");"
    "CREATE TABLE IF NOT EXISTS DeskAction ( "
    "ID            INTEGER PRIMARY KEY AUTOINCREMENT, "
    "At            TEXT NOT NULL DEFAULT '', "
    "OptUser       TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Kind          TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "RentID        INTEGER NOT NULL DEFAULT 0, "
    "FilmID        TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "ClientID      TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "BalanceBefore REAL NOT NULL DEFAULT 0, "
    "BalanceAfter  REAL NOT NULL DEFAULT 0, "
    "RentUser      TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "FirstLedger   INTEGER NOT NULL DEFAULT 0, "
    "LastLedger    INTEGER NOT NULL DEFAULT 0, "
    "UndoneAt      TEXT NOT NULL DEFAULT '', "
    "UndoneBy      TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Reason        TEXT COLLATE NOCASE NOT NULL DEFAULT '' "
    ");"
    "CREATE INDEX IF NOT EXISTS DeskAction_At ON DeskAction (At);"
    "CREATE INDEX IF NOT EXISTS DeskAction_RentID ON DeskAction (RentID);",
    // 9: the reservations of titles (CReserveInfo.h).
    "CREATE TABLE IF NOT EXISTS Reservation ( "
    "ID         INTEGER PRIMARY KEY AUTOINCREMENT, "
    "ClientID   TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "FilmName   TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "FilmID     TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "AskDate    TEXT NOT NULL DEFAULT '', "
    "State      TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "HeldFilmID TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "HeldUntil  TEXT NOT NULL DEFAULT '', "
    "DoneDate   TEXT NOT NULL DEFAULT '', "
    "OptUser    TEXT COLLATE NOCASE NOT NULL DEFAULT '' "
    ");"
    "CREATE INDEX IF NOT EXISTS Reservation_Title ON Reservation (FilmName, State);"
    "CREATE INDEX IF NOT EXISTS Reservation_Client ON Reservation (ClientID);"
    "CREATE UNIQUE INDEX IF NOT EXISTS Reservation_OneHold ON Reservation (HeldFilmID) "
    "WHERE State = '已留片';"
    "CREATE UNIQUE INDEX IF NOT EXISTS Reservation_OnePerTitle ON Reservation (ClientID, FilmName) "
    "WHERE State IN ('等待', '已留片');",
    // 10: the imports of the catalogue and of the customers, with what undoing one must put back
    // (ImportWrite.h).
    "CREATE TABLE IF NOT EXISTS ImportRun ( "
    "ID          INTEGER PRIMARY KEY AUTOINCREMENT, "
    "At          TEXT NOT NULL DEFAULT '', "
    "OptUser     TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "What        TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "File        TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Added       INTEGER NOT NULL DEFAULT 0, "
    "Updated     INTEGER NOT NULL DEFAULT 0, "
    "LastRecord  INTEGER NOT NULL DEFAULT 0, "
    "FirstLedger INTEGER NOT NULL DEFAULT 0, "
    "LastLedger  INTEGER NOT NULL DEFAULT 0, "
    "UndoneAt    TEXT NOT NULL DEFAULT '', "
    "UndoneBy    TEXT COLLATE NOCASE NOT NULL DEFAULT '' "
    ");"
    "CREATE TABLE IF NOT EXISTS ImportRow ( "
    "Run    INTEGER NOT NULL, "
    "RowID  INTEGER NOT NULL, "
    "Added  INTEGER NOT NULL DEFAULT 0, "
    "Image  TEXT NOT NULL DEFAULT '' "
    ");"
    "CREATE INDEX IF NOT EXISTS ImportRow_Run ON ImportRow (Run, RowID);",
    // 11: a long period's titles and customers read the ledger from an index in the order of the
    // disc or of the customer, with the kinds, times, amounts and operators: no sort of every row,
    // and no row read; a disc's title is read from an index by its code (Reports.h).
    "CREATE INDEX IF NOT EXISTS Ledger_FilmKind ON Ledger (FilmID, Kind, At, Fen, OptUser);"
    "CREATE INDEX IF NOT EXISTS Ledger_ClientKind ON Ledger (ClientID, Kind, At, Fen, OptUser, FilmID) "
    "WHERE ClientID <> '';"
    "CREATE INDEX IF NOT EXISTS Film_CodeName ON Film (FilmID, ID, FilmName);",
    // 12: the trail of every change outside the ledger, newest first, or by the code, the operator or
    // the kind it concerns (AuditTrail.h).
    "CREATE TABLE IF NOT EXISTS AuditTrail ( "
    "ID      INTEGER PRIMARY KEY AUTOINCREMENT, "
    "At      TEXT NOT NULL DEFAULT '', "
    "OptUser TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Desk    TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Kind    TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "ItemKey TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
    "Detail  TEXT COLLATE NOCASE NOT NULL DEFAULT '' "
    ");"
    "CREATE INDEX IF NOT EXISTS AuditTrail_At ON AuditTrail (At);"
    "CREATE INDEX IF NOT EXISTS AuditTrail_Key ON AuditTrail (ItemKey, At);"
    "CREATE INDEX IF NOT EXISTS AuditTrail_User ON AuditTrail (OptUser, At);"
    "CREATE INDEX IF NOT EXISTS AuditTrail_Kind ON AuditTrail (Kind, At);",
    // 13: the summaries of the ledger's days and of each disc's and customer's newest rental, kept
    // by triggers (SchemaSummaries.h).
    SchemaSummaries::kFileUpgrade,
};

// vorix_password_hash(stored): the hash of a password stored as typed; a hash and NULL stay.
void PasswordHashFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(context);
    const QString stored = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])));
    const QString hashed = PasswordHash::IsHash(stored) ? stored : PasswordHash::Make(stored);
    if (hashed.isEmpty())
        return sqlite3_result_error(context, "no random salt for a password hash", -1);
    const QByteArray utf8 = hashed.toUtf8();
    sqlite3_result_text(context, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}
static_assert(std::size(kFileUpgrades) == Schema::kVersion, "one upgrade for each version");

struct Step {
    sqlite3* db;
    EngineError* error;

    bool Run(const char* sql) const { return FileError::Run(db, sql, error); }
    // The file's version; -1 when it cannot be read (the text says why).
    int Version() const {
        sqlite3_stmt* stmt = nullptr;
        int version = -1;
        if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            version = sqlite3_column_int(stmt, 0);
        else
            Run("PRAGMA user_version"); // fails again, and says why
        sqlite3_finalize(stmt);
        return version;
    }
    // An empty file, or one of another program under the same key, holds none of the shop's tables:
    // it is refused as the engine refuses a foreign file, rather than failing half-way through an
    // upgrade in the engine's words.
    bool HoldsTheShop() const {
        sqlite3_stmt* stmt = nullptr;
        int tables = -1;
        if (sqlite3_prepare_v2(db,
                               "SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                               "name IN ('Client','Film','Operator','Record','Setting')",
                               -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            tables = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        if (tables == 5)
            return true;
        *error = FileError::OfCode(SQLITE_NOTADB);
        return false;
    }
    bool RefuseNewer(int version) const {
        error->code = EngineError::Failed;
        error->text =
            QStringLiteral("数据库文件 cddata.mdb 是更新版本的程序写的(数据库版本 %1,本程序只认识到版本 "
                           "%2),本程序不能使用它。文件没有做任何改动,请使用新版本的程序。")
                .arg(version)
                .arg(Schema::kVersion);
        return false;
    }
};
} // namespace

bool SchemaUpgrade::UpgradeWithin(sqlite3* db, int from, EngineError* error) {
    const Step step{db, error};
    bool ok = true;
    if (from < Schema::kVersion &&
        sqlite3_create_function(db, "vorix_password_hash", 1, SQLITE_UTF8, nullptr, PasswordHashFunction,
                                nullptr, nullptr) != SQLITE_OK)
        ok = step.Run("SELECT vorix_password_hash('')"); // fails, and says why
    if (ok && from < Schema::kVersion)
        ok = SchemaKeys::RegisterFunctions(db, error);
    for (int version = from; ok && version < Schema::kVersion; ++version)
        ok = step.Run(kFileUpgrades[version]);
    if (ok && from < Schema::kVersion)
        ok =
            step.Run(QByteArray("PRAGMA user_version = " + QByteArray::number(Schema::kVersion)).constData());
    return ok;
}

QStringList SchemaUpgrade::TablesOf(int version) {
    QStringList tables{QStringLiteral("Client"), QStringLiteral("Film"), QStringLiteral("Record"),
                       QStringLiteral("Operator"), QStringLiteral("Setting")};
    // And the tables the steps up to that version made, as they name them.
    static const QRegularExpression made(QStringLiteral("CREATE TABLE IF NOT EXISTS (\\w+)"));
    for (int step = 0; step < version && step < Schema::kVersion; ++step) {
        for (const QRegularExpressionMatch& match : made.globalMatch(QLatin1String(kFileUpgrades[step])))
            tables << match.captured(1);
    }
    return tables;
}

bool SchemaUpgrade::BringUpToDate(sqlite3* db, EngineError* error) {
    const Step step{db, error};
    int version = step.Version();
    if (version < 0)
        return false;
    if (version == Schema::kVersion)
        return true;
    if (version > Schema::kVersion)
        return step.RefuseNewer(version);
    // Another program may be upgrading the same file: the version is read again under the lock.
    if (!step.Run("BEGIN IMMEDIATE"))
        return false;
    version = step.Version();
    bool ok = version >= 0 && (version <= Schema::kVersion || step.RefuseNewer(version)) &&
              step.HoldsTheShop() && UpgradeWithin(db, version, error);
    if (ok)
        ok = step.Run("COMMIT");
    if (!ok)
        FileError::Run(db, "ROLLBACK");
    return ok;
}
