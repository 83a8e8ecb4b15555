#include "Shop.h"
#include "TestRegistry.h"

#include "data/engine/ConnectionPool.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"
#include "data/shop/ShopDatabase.h"

#include <QFile>
#include <QTest>
#include <cstdio>
#include <sqlite3.h>

namespace {
const QString kShop = QString::fromUtf8(ShopConnection::kFile);

int UserVersion(sqlite3* db) {
    sqlite3_stmt* stmt = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

// A temporary table lives on one connection only: it tells a pooled connection from a new one.
void Mark(EngineConnection* db) {
    QVERIFY(db->Run("CREATE TEMP TABLE IF NOT EXISTS mark (x integer)"));
}
bool Marked(EngineConnection* db) {
    return db->Run("SELECT x FROM mark");
}
} // namespace

// Opening the file: what each option asks of the open, and the engine's error kept as it said it.
class OpeningTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheProgramsOwnOpensBringTheFileUpToDate() {
        TempShop shop;
        const ConnectionSettings settings = DatabaseOpen::ParseConnectionString(kShop);
        EngineError error;
        {
            const DatabaseHandle db = DatabaseOpen::OpenKeyed(settings, {}, &error);
            QVERIFY(db);
            QVERIFY(FileError::Run(db.get(), "DROP INDEX Record_Type; PRAGMA user_version = 0;"));
        }
        {
            const DatabaseHandle tool = DatabaseOpen::OpenKeyed(settings, {}, &error);
            QCOMPARE(UserVersion(tool.get()), 0);
        }
        OpenOptions own;
        own.upToDate = true;
        const DatabaseHandle db = DatabaseOpen::OpenKeyed(settings, own, &error);
        QVERIFY(db);
        QCOMPARE(UserVersion(db.get()), Schema::kVersion);
    }

    void aMissingFileIsMadeOnlyWhenAsked() {
        TempShop shop;
        ConnectionSettings settings = DatabaseOpen::ParseConnectionString(kShop);
        settings.dataSource = QStringLiteral("new.mdb");
        EngineError error;
        QVERIFY(!DatabaseOpen::OpenKeyed(settings, {}, &error));
        QCOMPARE(error.code, EngineError::CantOpen);
        QCOMPARE(error.text, QStringLiteral("unable to open database file"));
        QVERIFY(!QFile::exists(settings.dataSource));
        OpenOptions create;
        create.create = true;
        QVERIFY(DatabaseOpen::OpenKeyed(settings, create, &error));
        QVERIFY(QFile::exists(settings.dataSource));
    }

    void aFailedStatementKeepsTheEnginesCodeAndText() {
        TempShop shop;
        QString text;
        const DatabaseHandle db =
            DatabaseOpen::OpenDatabase(DatabaseOpen::ParseConnectionString(kShop), &text);
        QVERIFY(db);
        EngineError error;
        QVERIFY(!FileError::Run(db.get(), "INSERT INTO Nowhere VALUES (1)", &error));
        QCOMPARE(error.code, EngineError::Failed);
        QCOMPARE(error.text, QStringLiteral("no such table: Nowhere"));
        // A second rental of a film that is out: the extended code is what the shop's wording reads.
        const char* const lend =
            "INSERT INTO Record (FilmID,Type,BorrowDate) VALUES('F1','月租','2005-11-02')";
        QVERIFY(FileError::Run(db.get(), lend, &error));
        QVERIFY(!FileError::Run(db.get(), lend, &error));
        QCOMPARE(error.code, EngineError::Unique);
        QVERIFY(EngineError::Describe(error).startsWith(QStringLiteral("这部影片已经借出")));
        QVERIFY(!FileError::Run(db.get(), lend, &text));
        QCOMPARE(text, error.text);
    }
};
VORIX_TEST_ON_FILE_ONLY(OpeningTest)

// The idle connections of a thread: which are kept, and for which file.
class ConnectionPoolTest : public QObject {
    Q_OBJECT
private:
    // Gives a marked connection back, after `before` on it, and reports whether the next one taken
    // for takenBack, after `idle`, is the same connection.
    static bool Kept(bool sound, const std::function<void(EngineConnection*)>& before = {},
                     const std::function<void()>& idle = {}, const QString& takenBack = kShop) {
        EngineError error;
        ConnectionHandle db = ConnectionPool::Take(kShop, &error);
        if (!db)
            return false;
        Mark(db.get());
        if (before)
            before(db.get());
        ConnectionPool::Give(std::move(db), kShop, sound);
        if (idle)
            idle();
        const ConnectionHandle again = ConnectionPool::Take(takenBack, &error);
        return again && Marked(again.get());
    }

private slots:
    void aSoundIdleConnectionIsTakenAgain() {
        TempShop shop;
        QVERIFY(Kept(true));
    }

    void aConnectionThatFailedOrHoldsATransactionIsClosed() {
        TempShop shop;
        QVERIFY(!Kept(false));
        QVERIFY(!Kept(true, [](EngineConnection* db) { QVERIFY(db->BeginWrite()); }));
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 1); // the transaction ended with it
    }

    void aConnectionServesOnlyTheFileItWasOpenedOn() {
        TempShop shop;
        QString error;
        QVERIFY(ShopDatabase::Prepare(QStringLiteral("other.mdb"), &error));
        QVERIFY(!Kept(true, {}, {},
                      QString(kShop).replace(QStringLiteral("cddata.mdb"), QStringLiteral("other.mdb"))));
        // Another file put in place of the shop while the connection was idle.
        QVERIFY(!Kept(true, {}, [] { QCOMPARE(std::rename("other.mdb", "cddata.mdb"), 0); }));
    }
};
VORIX_TEST(ConnectionPoolTest)
#include "tst_OpenAndPool.moc"
