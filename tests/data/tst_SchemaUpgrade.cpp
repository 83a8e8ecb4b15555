#include "Shop.h"
#include "TestRegistry.h"

#include "base/PasswordHash.h"
#include "data/CAdoDb.h"
#include "data/CAdodc.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/shop/ShopDatabase.h"

#include <QFile>
#include <QTest>
#include <sqlite3.h>

namespace {
// A connection of its own to the test's file, as another program would hold one.
DatabaseHandle Open() {
    QString error;
    DatabaseHandle db = DatabaseOpen::OpenDatabase(
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
    if (!db)
        qWarning("%s", qPrintable(error));
    return db;
}

bool Run(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Every cell of a query's rows, one line per row.
QString Rows(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    QString text;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
        return QStringLiteral("failed: ") + QString::fromUtf8(sqlite3_errmsg(db));
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            text += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))) +
                    QLatin1Char('|');
        text += QLatin1Char('\n');
    }
    sqlite3_finalize(stmt);
    return text;
}

QString AllRows(sqlite3* db) {
    QString rows;
    for (const char* table : {"Client", "Film", "Record", "Setting"})
        rows += Rows(db, (QByteArray("SELECT * FROM ") + table + " ORDER BY rowid").constData());
    return rows;
}

const char* const kIndexes = "SELECT name, sql FROM sqlite_master WHERE type='index' ORDER BY name";
// The tables, in the form the program writes them: a new file's and an upgraded file's are alike
// but for the spacing of their text.
const char* const kTables = "SELECT name, replace(replace(sql, ' ', ''), char(10), '') FROM sqlite_master "
                            "WHERE type='table' ORDER BY name";

// Turns the test's fresh file into one written before the schema had a version: without the
// indexes and the ledger the versions added, with rows of every kind and three operators' passwords as typed.
void MakeOlderFile() {
    const DatabaseHandle db = Open();
    QVERIFY(db);
    QVERIFY(
        Run(db.get(),
            "INSERT INTO Client (ClientID,Balance) VALUES('C1',12.5);"
            "INSERT INTO Film (FilmID,FilmName) VALUES('F1','英雄');"
            "INSERT INTO Record (ClientID,FilmID,Type,BorrowDate) VALUES('C1','F1','月租','2005-11-02');"
            "INSERT INTO Record (FilmID,Type,Foregift,BorrowDate,ReturnDate) "
            "VALUES('F1','零租',47,'2005-10-01','2005-10-03');"
            "UPDATE Operator SET OptPwd='admin';"
            "INSERT INTO Operator (OptName,OptPwd,Type) VALUES('小王','Pa''ss 1','操作员'),('空','',"
            "'操作员');"
            "DROP INDEX Record_Type; DROP INDEX Record_Out; DROP INDEX Film_NameCode;"
            "DROP INDEX Record_BorrowDate; DROP TABLE Ledger; DROP TABLE Options;"
            "DROP INDEX Film_Playactor; DROP INDEX Film_Type; DROP INDEX Film_Class1; DROP INDEX Film_Class2;"
            "DROP INDEX Film_StgDate; DROP INDEX Film_Degree; DROP INDEX Film_Remark;"
            "DROP TABLE FilmKey; DROP TABLE ClientKey;"
            "DROP TABLE RentContact; DROP TABLE DrawerFloat; DROP TABLE DeskAction;"
            "DROP TRIGGER Record_LentAdd; DROP TRIGGER Record_LentRemove; DROP TRIGGER Record_LentChange;"
            "DROP TRIGGER Film_TitleAdd; DROP TRIGGER Film_TitleRemove; DROP TRIGGER Film_TitleChange;"
            "DROP TABLE LedgerDay; DROP TABLE FilmKinds; DROP TABLE FilmLent; DROP TABLE ClientLent;"
            "DROP TABLE TitleDiscs;"
            "PRAGMA user_version = 0;"));
}
} // namespace

class SchemaUpgradeTest : public QObject {
    Q_OBJECT
private slots:
    void aNewFileIsAtThisVersion() {
        TempShop shop;
        const DatabaseHandle db = Open();
        QCOMPARE(Rows(db.get(), "PRAGMA user_version"), QStringLiteral("%1|\n").arg(Schema::kVersion));
    }

    void anOlderFileIsBroughtUpToDateOnceWithItsRowsUnchanged() {
        QString newIndexes;
        QString newTables;
        {
            TempShop fresh;
            newIndexes = Rows(Open().get(), kIndexes);
            newTables = Rows(Open().get(), kTables);
        }
        TempShop shop;
        MakeOlderFile();
        QString rowsBefore;
        QStringList hashes;
        {
            QString error;
            ConnectionSettings settings =
                DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
            // Opened to create, the file is taken as it is: no upgrade runs.
            const DatabaseHandle raw = DatabaseOpen::CreateDatabase(settings, &error);
            QCOMPARE(Rows(raw.get(), "PRAGMA user_version"), QStringLiteral("0|\n"));
            rowsBefore = AllRows(raw.get());
        }
        BoxRecorder boxes;
        QCOMPARE(Db::Count(QStringLiteral("Record")), 2); // the program's first open
        QCOMPARE(boxes.Texts(), QStringList());
        {
            const DatabaseHandle db = Open();
            QCOMPARE(Rows(db.get(), "PRAGMA user_version"), QStringLiteral("%1|\n").arg(Schema::kVersion));
            QCOMPARE(Rows(db.get(), kIndexes), newIndexes);
            QCOMPARE(Rows(db.get(), kTables), newTables);
            QCOMPARE(AllRows(db.get()), rowsBefore);
            // The reports' summaries of the rentals that were there, kept from then on.
            QCOMPARE(Rows(db.get(), Db::kSummariesAstray), QString());
            QCOMPARE(Rows(db.get(), "SELECT FilmID, LastLent FROM FilmLent"),
                     QStringLiteral("F1|2005-11-02|\n"));
            QCOMPARE(Rows(db.get(), "SELECT FilmName, N FROM TitleDiscs"), QStringLiteral("英雄|1|\n"));
            // The passwords are stored hashed, each still the operator's own.
            QCOMPARE(Rows(db.get(), "SELECT OptName, Type FROM Operator ORDER BY ID"),
                     QStringLiteral("Admin|管理员|\n小王|操作员|\n空|操作员|\n"));
            const QStringList stored =
                Rows(db.get(), "SELECT OptPwd FROM Operator ORDER BY ID").split(QStringLiteral("|\n"));
            QCOMPARE(stored.size(), 4);
            const QStringList typed = {QStringLiteral("admin"), QStringLiteral("Pa'ss 1"), QString()};
            for (int i = 0; i < 3; ++i) {
                QVERIFY2(PasswordHash::IsHash(stored[i]), qPrintable(stored[i]));
                QVERIFY(PasswordHash::Matches(stored[i], typed[i]));
            }
            hashes = stored;
            // Once up to date, later opens leave the file alone.
            QVERIFY(Run(db.get(), "DROP INDEX Record_Type"));
        }
        const DatabaseHandle again = Open();
        QCOMPARE(Rows(again.get(), "SELECT name FROM sqlite_master WHERE name='Record_Type'"), QString());
        QCOMPARE(Rows(again.get(), "SELECT OptPwd FROM Operator ORDER BY ID").split(QStringLiteral("|\n")),
                 hashes);
    }

    // A shop from before the search keys gets them in its upgrade: every film's and client's, each
    // kind of key beside its row.
    void anOlderFileGetsItsSearchKeys() {
        TempShop shop;
        MakeOlderFile();
        {
            const DatabaseHandle db = Open();
            QVERIFY(Run(db.get(),
                        "INSERT INTO Film (FilmID,FilmName,Playactor) VALUES('F2','长江七号','周星驰'),"
                        "('F3','',''),('F4','2046','梁朝伟 王菲');"
                        "INSERT INTO Client (ClientID,PhoneNum,Remark) VALUES('C2','138-0013','张三');"));
        }
        BoxRecorder boxes;
        QCOMPARE(Db::Count(QStringLiteral("Film")), 4); // the program's first open
        QCOMPARE(boxes.Texts(), QStringList());
        const DatabaseHandle db = Open();
        QCOMPARE(Rows(db.get(),
                      "SELECT f.FilmID, k.Kind, k.Pinyin FROM FilmKey k JOIN Film f ON f.ID = k.Film "
                      "WHERE k.Kind <= 4 ORDER BY f.ID, k.Kind, k.Pinyin"),
                 QStringLiteral("F1|1|yx|\nF1|2|yingxiong|\n"
                                "F2|1|cjqh|\nF2|1|zjqh|\nF2|2|changjiangqihao|\nF2|2|zhangjiangqihao|\n"
                                "F2|3|zxc|\nF2|4|zhouxingchi|\n"
                                "F4|1|2046|\nF4|2|2046|\nF4|3|lcw|\nF4|3|lzw|\nF4|3|wf|\n"
                                "F4|4|liangchaowei|\nF4|4|liangzhaowei|\nF4|4|wangfei|\n"));
        QCOMPARE(Rows(db.get(), "SELECT c.ClientID, k.Kind, k.Pinyin FROM ClientKey k JOIN Client c ON "
                                "c.ID = k.Client WHERE k.Kind <= 3 ORDER BY c.ID, k.Kind, k.Pinyin"),
                 QStringLiteral("C2|1|zs|\nC2|2|zhangsan|\nC2|3|1380013|\n"));
        // and those read from inside: 长江七号 from 江 on, the phone from its second digit on
        QCOMPARE(Rows(db.get(), "SELECT k.Kind, k.Pinyin FROM FilmKey k JOIN Film f ON f.ID = k.Film "
                                "WHERE f.FilmID = 'F2' AND k.Kind IN (5, 6) ORDER BY 1, 2"),
                 QStringLiteral("5|h|\n5|jqh|\n5|qh|\n6|hao|\n6|jiangqihao|\n6|qihao|\n"));
        QCOMPARE(Rows(db.get(), "SELECT count(*) FROM ClientKey WHERE Kind = 6"), QStringLiteral("6|\n"));
    }

    void aNewerFileIsRefusedAndLeftAsItIs() {
        TempShop shop;
        {
            const DatabaseHandle db = Open();
            QVERIFY(Run(db.get(), "DROP INDEX Record_Type; PRAGMA user_version = 99;"));
        }
        QFile file(shop.DatabasePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        BoxRecorder boxes;
        CAdoDb db;
        QVERIFY(!db.Query(QStringLiteral("SELECT * FROM Operator")).IsOpen());
        CAdodc adodc;
        adodc.SetRecordSource(QStringLiteral("SELECT * FROM Operator"));
        adodc.Refresh();
        QCOMPARE(adodc.columnCount(), 0);
        QCOMPARE(boxes.Texts().size(), 2);
        QVERIFY2(boxes.Texts().at(0).contains(QStringLiteral("更新版本的程序")),
                 qPrintable(boxes.Texts().at(0)));
        QCOMPARE(boxes.Texts().at(1), boxes.Texts().at(0)); // the data control says the same

        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before);
        QCOMPARE(ShellReads("PRAGMA user_version;").trimmed(), QByteArray("99"));
    }
};
VORIX_TEST_ON_FILE_ONLY(SchemaUpgradeTest)
#include "tst_SchemaUpgrade.moc"
