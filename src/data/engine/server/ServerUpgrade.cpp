#include "data/engine/server/ServerUpgrade.h"

#include "data/engine/SchemaVersion.h"
#include "data/engine/server/ServerKeys.h"

#include <iterator>

namespace {
// The statements from each version to the next, from kFirstUpgradable on; the version row is set
// after them.
const char* const kUpgrades[] = {
    // 5: the film window sorted by a heading, equal values by ID, read either way.
    "CREATE INDEX IF NOT EXISTS Film_Playactor ON Film (Playactor, ID);"
    "CREATE INDEX IF NOT EXISTS Film_Type ON Film (Type, ID);"
    "CREATE INDEX IF NOT EXISTS Film_Class1 ON Film (Class1, ID);"
    "CREATE INDEX IF NOT EXISTS Film_Class2 ON Film (Class2, ID);"
    "CREATE INDEX IF NOT EXISTS Film_StgDate ON Film (StgDate, ID);"
    "CREATE INDEX IF NOT EXISTS Film_Degree ON Film (Degree, ID);"
    "CREATE INDEX IF NOT EXISTS Film_Remark ON Film (Remark, ID);"
    "ANALYZE Film",
    // 6: the reports read the ledger's days, kinds, operators and amounts from an index alone; a
    // disc's or a customer's last lending, and the returns of a period, from an index each.
    "CREATE INDEX IF NOT EXISTS Ledger_Days ON Ledger (substr(At,1,10), Kind, OptUser, Fen, At);"
    "CREATE INDEX IF NOT EXISTS Record_FilmBorrow ON Record (FilmID, BorrowDate);"
    "CREATE INDEX IF NOT EXISTS Record_ClientBorrow ON Record (ClientID, BorrowDate);"
    "CREATE INDEX IF NOT EXISTS Record_ReturnDate ON Record (ReturnDate, OptUser)",
    // 7: the pinyin search keys of every film and client, written by the program (ServerKeys.h).
    ServerEngine::kKeyTables,
};
static_assert(ServerEngine::kFirstUpgradable + int(std::size(kUpgrades)) == Schema::kVersion,
              "one upgrade for each version after the first upgradable");
} // namespace

bool ServerEngine::BringUpToDate(ServerConnection& connection, int found, EngineError* error) {
    bool ok = connection.BeginWrite();
    // Another desk may have brought it up while this one waited for the lock: read it again.
    int version = found;
    if (ok) {
        bool read = false;
        if (auto stmt = connection.Prepare(QStringLiteral("SELECT Version FROM SchemaVersion"), &read)) {
            if (stmt->Next() == EngineStatement::Row)
                version = stmt->Text(0).toInt();
            else
                read = false;
        }
        ok = read;
    }
    for (int from = version; ok && from < Schema::kVersion; ++from) {
        const char* step = kUpgrades[from - kFirstUpgradable];
        ok = connection.Run(step) && (step != kKeyTables || FillKeys(connection));
    }
    if (ok && version < Schema::kVersion)
        ok = connection.Run(
            QByteArray("UPDATE SchemaVersion SET Version = " + QByteArray::number(Schema::kVersion))
                .constData());
    if (ok)
        ok = connection.Run("COMMIT");
    if (!ok) {
        *error = connection.Error();
        connection.Run("ROLLBACK");
    }
    return ok;
}
