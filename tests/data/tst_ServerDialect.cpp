#include "TestRegistry.h"

#include "data/engine/server/ServerDialect.h"

#include <QTest>

// Each translation of a statement for the server, and the texts of its answers as the file writes them.
class ServerDialectTest : public QObject {
    Q_OBJECT
private slots:
    void statementsTranslate_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("server");
        const auto row = [](const char* name, const char* file, const char* server) {
            QTest::newRow(name) << QString::fromUtf8(file) << QString::fromUtf8(server);
        };
        row("as it is", "SELECT * FROM Film WHERE FilmID='F1' LIMIT 1",
            "SELECT * FROM Film WHERE FilmID='F1' LIMIT 1");
        row("hint dropped", "SELECT COUNT(*) FROM Record INDEXED BY Record_ClientID WHERE ClientID='C1'",
            "SELECT COUNT(*) FROM Record  WHERE ClientID='C1'");
        row("ifnull", "SELECT IFNULL(SUM(Fen),0) FROM Ledger", "SELECT COALESCE(SUM(Fen),0) FROM Ledger");
        row("max of two", "SELECT SUM(max(Fen,0)), max(ID) FROM Ledger",
            "SELECT SUM(GREATEST(Fen,0)), max(ID) FROM Ledger");
        row("min of three", "SELECT min(1,(SELECT 2),3)", "SELECT LEAST(1,(SELECT 2),3)");
        row("group_concat", "SELECT group_concat(FilmID||'x', ' ') FROM Record",
            "SELECT string_agg(CAST(FilmID||'x' AS text),  ' ') FROM Record");
        row("group_concat, comma", "SELECT group_concat(DISTINCT Type) FROM Film",
            "SELECT string_agg(DISTINCT CAST(Type AS text), ',') FROM Film");
        row("printf", "SELECT printf('%.2f', Balance) FROM Client",
            "SELECT to_char(CAST( Balance AS numeric), 'FM999999999990.00') FROM Client");
        row("subquery named", "SELECT COUNT(*) FROM (SELECT 1 FROM Record LIMIT 5)",
            "SELECT COUNT(*) FROM (SELECT 1 FROM Record LIMIT 5) AS vorix_subquery1");
        row("subquery already named", "SELECT v FROM (SELECT 1 AS v) q WHERE v=1",
            "SELECT v FROM (SELECT 1 AS v) q WHERE v=1");
        row("replace", "INSERT OR REPLACE INTO Options (Name, Value) VALUES('a','b')",
            "INSERT INTO Options (Name, Value) VALUES('a','b') ON CONFLICT (Name) DO UPDATE SET "
            "Value=EXCLUDED.Value");
        row("quoted texts untouched", "SELECT 'IFNULL(a,b) INDEXED BY x' AS \"max(1,2)\"",
            "SELECT 'IFNULL(a,b) INDEXED BY x' AS \"max(1,2)\"");
        row("doubled quote", "SELECT 'it''s IFNULL(' || IFNULL(Remark,'')",
            "SELECT 'it''s IFNULL(' || COALESCE(Remark,'')");
    }
    void statementsTranslate() {
        QFETCH(QString, file);
        QFETCH(QString, server);
        QCOMPARE(ServerDialect::Translate(file), server);
    }

    void columnNamesKeepTheirCase() {
        const QString sql = QStringLiteral("SELECT Film.Type AS Medium, ID, \"金额(元)\" FROM Film");
        QCOMPARE(ServerDialect::ColumnName(QStringLiteral("medium"), sql), QStringLiteral("Medium"));
        QCOMPARE(ServerDialect::ColumnName(QStringLiteral("id"), sql), QStringLiteral("ID"));
        QCOMPARE(ServerDialect::ColumnName(QStringLiteral("金额(元)"), sql), QStringLiteral("金额(元)"));
        // SELECT * names no column: the schema's spelling.
        QCOMPARE(
            ServerDialect::ColumnName(QStringLiteral("borrowdate"), QStringLiteral("SELECT * FROM Record")),
            QStringLiteral("BorrowDate"));
        QCOMPARE(ServerDialect::ColumnName(QStringLiteral("other"), QStringLiteral("SELECT 1")),
                 QStringLiteral("other"));
    }

    void realsReadAsTheFileWritesThem_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("whole") << 30.0 << QByteArray("30.0");
        QTest::newRow("decimals") << 12.5 << QByteArray("12.5");
        QTest::newRow("negative") << -0.45 << QByteArray("-0.45");
        QTest::newRow("large") << 1e20 << QByteArray("1.0e+20");
        QTest::newRow("fifteen digits") << 0.1 + 0.2 << QByteArray("0.3");
    }
    void realsReadAsTheFileWritesThem() {
        QFETCH(double, value);
        QFETCH(QByteArray, text);
        QCOMPARE(ServerDialect::RealText(value), text);
    }
};
VORIX_TEST_ON_FILE_ONLY(ServerDialectTest)
#include "tst_ServerDialect.moc"
