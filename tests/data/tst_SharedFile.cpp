#include "Shop.h"
#include "TestRegistry.h"

#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"

#include <QFile>
#include <QTest>
#include <sqlite3.h>

// The shop file shared with other programs: another desk, the sqlcipher shell, a restored copy.
class SharedFileTest : public QObject {
    Q_OBJECT
private:
    static void ShellLooksIn() {
        QVERIFY2(ShellReads("SELECT 'count:'||count(*) FROM Operator;").contains("count:"),
                 "the sqlcipher shell could not read the file");
    }

    // What a third program sees of the file, on a connection of its own.
    static QString SeenByAnotherProgram(const char* sql) {
        QString error;
        const DatabaseHandle db = DatabaseOpen::OpenDatabase(
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
        if (!db)
            return error;
        sqlite3_stmt* stmt = nullptr;
        QString value;
        if (sqlite3_prepare_v2(db.get(), sql, -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        else
            value = QString::fromUtf8(sqlite3_errmsg(db.get()));
        sqlite3_finalize(stmt);
        return value;
    }

private slots:
    // Closing a descriptor of the file drops every lock the process holds on it; the shell would
    // then think it is alone and remove the write-ahead log from under the program.
    void anotherProgramLeavesTheLogInPlace_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("query") << 0;
        QTest::newRow("write") << 1;
        QTest::newRow("transaction") << 2;
        QTest::newRow("failed statement") << 3;
    }
    void anotherProgramLeavesTheLogInPlace() {
        QFETCH(int, kind);
        TempShop shop;
        BoxRecorder boxes;
        CAdoDb open; // a window that has the file open meanwhile: the operation opens another
        QVERIFY(open.Query(QStringLiteral("SELECT * FROM Setting")).IsOpen());
        switch (kind) {
        case 0:
            QCOMPARE(Db::Count(QStringLiteral("Operator")), 1);
            break;
        case 1:
            QVERIFY(Db::Exec(QStringLiteral("UPDATE Setting SET MonthVcd=31")));
            break;
        case 2: {
            CTransaction scope;
            QVERIFY(Db::Exec(QStringLiteral("UPDATE Setting SET MonthVcd=32")));
            QVERIFY(scope.Commit());
            break;
        }
        case 3:
            QVERIFY(!Db::Exec(QStringLiteral("UPDATE Nowhere SET x=1")));
            boxes.Clear();
            QCOMPARE(Db::Count(QStringLiteral("Operator")), 1);
            break;
        }
        ShellLooksIn();
        QVERIFY(QFile::exists(QStringLiteral("cddata.mdb-wal")));
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName,OptPwd,Type) VALUES('after','x','操作员')")));
        QCOMPARE(SeenByAnotherProgram("SELECT group_concat(OptName) FROM Operator"),
                 QStringLiteral("Admin,after"));
        QCOMPARE(boxes.Texts(), QStringList());
    }

    // The idle connections kept between operations never outlive the file they were opened on.
    void removedFileIsReportedNotServedFromIdleConnections() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Setting SET MonthVcd=33")));
        QVERIFY(QFile::remove(shop.DatabasePath()));
        QCOMPARE(Db::Value(QStringLiteral("SELECT MonthVcd AS v FROM Setting")), QString());
        QCOMPARE(boxes.Texts().size(), 1);
        ExpectDescribed(boxes.Texts().first(), "无法打开数据库文件", "unable to open database file");
        QVERIFY(!QFile::exists(shop.DatabasePath()));
    }
};
VORIX_TEST_ON_FILE_ONLY(SharedFileTest)
#include "tst_SharedFile.moc"
