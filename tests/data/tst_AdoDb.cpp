#include "Shop.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "data/CAdoDb.h"
#include "data/Sql.h"
#include "data/engine/file/DatabaseOpen.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sqlite3.h>

class AdoDbTest : public QObject {
    Q_OBJECT
private slots:
    void conversionsOfColumnText() {
        TempShop shop;
        BoxRecorder boxes;
        CAdoDb db;
        const CRecordset& rs = db.Query(QStringLiteral("SELECT 12.5 AS r, 0.1 AS tenth, 'abc' AS word, "
                                                       "'42abc' AS lead, ' -7' AS blank, NULL AS nothing, "
                                                       "7 AS whole, '3.5e2x' AS sci"));
        QVERIFY(rs.IsOpen());
        QVERIFY(!rs.IsEOF());
        QCOMPARE(rs.GetReal("r"), 12.5f);
        QCOMPARE(rs.GetText("R"), QStringLiteral("12.5")); // names ignore letter case
        QCOMPARE(rs.GetReal("tenth"), 0.1f);
        QCOMPARE(rs.GetInt("word"), 0);
        QCOMPARE(rs.GetReal("word"), 0.0f);
        QCOMPARE(rs.GetInt("lead"), 42);
        QCOMPARE(rs.GetInt("blank"), -7);
        QCOMPARE(rs.GetText("nothing"), QString());
        QCOMPARE(rs.GetInt("nothing"), 0);
        QCOMPARE(rs.GetText("whole"), QStringLiteral("7"));
        QCOMPARE(rs.GetReal("sci"), 350.0f);
        QCOMPARE(rs.GetText("no such column"), QString());
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void composingValues() {
        QCOMPARE(Sql::Real(50), QStringLiteral("50.000000"));
        QCOMPARE(Sql::Real(12.5f), QStringLiteral("12.500000"));
        QCOMPARE(Sql::Real(0.1f), QStringLiteral("0.100000"));
        QCOMPARE(Sql::Real(1234.56f), QStringLiteral("1234.560000")); // not the float's 1234.560059
        QCOMPARE(Sql::Real(9998.99f), QStringLiteral("9998.990000"));
        QCOMPARE(Sql::Int(-3), QStringLiteral("-3"));
        QCOMPARE(Sql::Key(4294967295ul), QStringLiteral("4294967295"));
        QCOMPARE(Sql::Text(QStringLiteral("it's")), QStringLiteral("it''s"));
        QCOMPARE(Sql::Like(QStringLiteral("5%_a\\")), QStringLiteral("5\\%\\_a\\\\"));
        QCOMPARE(Sql::ToInt(QStringLiteral("99999999999999999999")), INT_MAX);
    }

    void noRowAndSeveralRows() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('x','1','a')")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('x','2','b')")));
        {
            CAdoDb db;
            const CRecordset& rs = db.Query(QStringLiteral("SELECT * FROM Operator WHERE OptName='nobody'"));
            QVERIFY(rs.IsOpen());
            QVERIFY(rs.IsEOF());
            QCOMPARE(rs.GetText("OptName"), QString());
        }
        CAdoDb db;
        const CRecordset& rs =
            db.Query(QStringLiteral("SELECT * FROM Operator WHERE OptName='x' ORDER BY ID"));
        QVERIFY(!rs.IsEOF());
        QCOMPARE(rs.GetText("OptPwd"), QStringLiteral("1"));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void hostileTextIsStoredAsTyped() {
        TempShop shop;
        BoxRecorder boxes;
        const QStringList values{QStringLiteral("O'Brien"),
                                 QStringLiteral("' OR '1'='1"),
                                 QStringLiteral("x'); DELETE FROM Operator; --"),
                                 QStringLiteral("100%_"),
                                 QStringLiteral(" trailing "),
                                 QStringLiteral("影片''")};
        for (const QString& v : values) {
            QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('") +
                             Sql::Text(v) + QStringLiteral("','p','t')")));
            QCOMPARE(Db::Value(QStringLiteral("SELECT OptName AS v FROM Operator WHERE OptName='") +
                               Sql::Text(v) + QStringLiteral("'")),
                     v);
        }
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 1 + int(values.size()));
        QCOMPARE(Db::Count(QStringLiteral("Operator WHERE OptName='") +
                           Sql::Text(QStringLiteral("' OR '1'='1")) + QStringLiteral("'")),
                 1);
        QCOMPARE(Db::Count(QStringLiteral("Operator WHERE OptName LIKE '%") +
                           Sql::Like(QStringLiteral("0%_")) + QStringLiteral("%' ESCAPE '\\'")),
                 1);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void engineFailureIsShownAndReported() {
        TempShop shop;
        BoxRecorder boxes;
        CAdoDb db;
        QVERIFY(!db.Execute(QStringLiteral("UPDATE NoSuchTable SET a=1")));
        QCOMPARE(boxes.Boxes().size(), 1);
        QCOMPARE(boxes.Boxes().first().text,
                 EngineText("no such table: NoSuchTable", "relation \"nosuchtable\" does not exist"));
        QCOMPARE(boxes.Boxes().first().caption, QStringLiteral("Vorix"));
        QCOMPARE(boxes.Boxes().first().icon, MsgIcon::Warning);
        CAdoDb query;
        QVERIFY(!query.Query(QStringLiteral("SELECT * FROM Nowhere")).IsOpen());
        QVERIFY(query.Query(QStringLiteral("SELECT * FROM Nowhere")).IsEOF());
        QCOMPARE(boxes.Boxes().size(), 3);
    }

    void missingFileIsReportedNotCreated() {
        VORIX_FILE_ONLY();
        TempShop shop;
        QFile::remove(shop.DatabasePath());
        BoxRecorder boxes;
        CAdoDb db;
        QVERIFY(db.Query(QStringLiteral("SELECT * FROM Operator")).IsEOF());
        QVERIFY(!db.Execute(QStringLiteral("DELETE FROM Operator")));
        QCOMPARE(boxes.Texts().size(), 1);
        ExpectDescribed(boxes.Texts().first(), "无法打开数据库文件", "unable to open database file");
        QVERIFY(!QFile::exists(shop.DatabasePath()));
    }

    void foreignFilesAreReported_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("engineText");
        const QByteArray encrypted("file is encrypted or is not a database");
        QTest::newRow("text") << QByteArray(4096, 'x') << encrypted;
        QTest::newRow("plain database")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\0') << encrypted;
        QTest::newRow("empty") << QByteArray() << encrypted;
    }
    // Each is refused in the sentence of a foreign file, and left exactly as it was.
    void foreignFilesAreReported() {
        VORIX_FILE_ONLY();
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, engineText);
        TempShop shop;
        QFile file(shop.DatabasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        BoxRecorder boxes;
        CAdoDb db;
        QVERIFY(db.Query(QStringLiteral("SELECT * FROM Operator")).IsEOF());
        QCOMPARE(boxes.Texts().size(), 1);
        ExpectDescribed(boxes.Texts().first(), "数据库文件已损坏", engineText.constData());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
        QCOMPARE(QDir(shop.Dir()).entryList(QDir::Files), QStringList{QStringLiteral("cddata.mdb")});
    }

    void fileOpensWithThePassphraseToo() {
        VORIX_FILE_ONLY();
        TempShop shop;
        QString error;
        const ConnectionSettings settings =
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
        QCOMPARE(settings.dataSource, QStringLiteral("cddata.mdb"));
        QCOMPARE(settings.password, QByteArray("mqvetra531"));
        for (auto open : {&DatabaseOpen::OpenDatabase, &DatabaseOpen::OpenDatabaseWithPassphrase}) {
            const DatabaseHandle db = open(settings, &error);
            QVERIFY(db);
            // The key is only checked when a statement reads the file.
            sqlite3_stmt* stmt = nullptr;
            QCOMPARE(sqlite3_prepare_v2(db.get(), "SELECT OptName FROM Operator", -1, &stmt, nullptr),
                     SQLITE_OK);
            QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
            QCOMPARE(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))),
                     QByteArray("Admin"));
            sqlite3_finalize(stmt);
        }
    }

    void transactionRollsBackAndShowsAfterwards() {
        TempShop shop;
        BoxRecorder boxes;
        {
            CTransaction scope;
            QVERIFY(
                Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('a','b','c')")));
            // The scope's own connection sees its uncommitted row.
            QCOMPARE(Db::Count(QStringLiteral("Operator")), 2);
            QVERIFY(!Db::Exec(QStringLiteral("INSERT INTO Nowhere VALUES(1)")));
            QCOMPARE(boxes.Boxes().size(), 0); // held back while the transaction is open
            QVERIFY(
                !Db::Exec(QStringLiteral("DELETE FROM Operator"))); // a failed transaction runs nothing more
            QVERIFY(!scope.Commit());
            QCOMPARE(boxes.Texts(), QStringList{EngineText("no such table: Nowhere",
                                                           "relation \"nowhere\" does not exist")});
        }
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 1);
        QCOMPARE(boxes.Boxes().size(), 1);
    }

    void transactionCommitsAndNests() {
        TempShop shop;
        BoxRecorder boxes;
        {
            CTransaction outer;
            QVERIFY(
                Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('a','b','c')")));
            {
                CTransaction inner;
                QVERIFY(Db::Exec(
                    QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('d','e','f')")));
                QVERIFY(inner.Commit());
            }
            QVERIFY(outer.Commit());
        }
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 3);
        {
            CTransaction abandoned; // left without Commit: nothing stays
            QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Operator")));
        }
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 3);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void scopeHoldsTheWriteLockUntilCommit() {
        TempShop shop;
        BoxRecorder boxes;
        CTransaction writer; // holds the write lock
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('a','b','c')")));
        // A connection outside the scope (another program) cannot write meanwhile.
        if (TestEngine::OnServer()) {
            EngineError error;
            const ConnectionHandle other = Engine::Open(ShopConnection::Current(), &error);
            QVERIFY(other && other->Run("SET lock_timeout = 10"));
            bool ok = false;
            QVERIFY(!other->Prepare(QStringLiteral("DELETE FROM Operator"), &ok) && !ok);
            QCOMPARE(other->Error().code, EngineError::Busy);
        } else {
            QString error;
            const DatabaseHandle other = DatabaseOpen::OpenDatabase(
                DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
            QVERIFY(other);
            sqlite3_busy_timeout(other.get(), 10);
            QVERIFY(sqlite3_exec(other.get(), "DELETE FROM Operator", nullptr, nullptr, nullptr) != 0);
        }
        QVERIFY(writer.Commit());
    }
};
VORIX_TEST(AdoDbTest)
#include "tst_AdoDb.moc"
