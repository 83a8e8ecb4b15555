#include "PgServer.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "data/CAdoDb.h"
#include "data/PasswordHash.h"
#include "data/SchemaUpgrade.h"
#include "data/ServerDatabase.h"

#include <QTest>
#include <libpq-fe.h>
#include <memory>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
struct PgCloser {
    void operator()(PGconn* db) const { PQfinish(db); }
};
using PgHandle = std::unique_ptr<PGconn, PgCloser>;

// The rows of a query, each as its cells joined by "|", or the server's error.
QStringList PgRows(PGconn* db, const QString& sql) {
    PGresult* result = PQexec(db, sql.toUtf8().constData());
    QStringList rows;
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        rows << u"error "_s + QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE)) + u": "_s +
                    QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    } else {
        for (int row = 0; row < PQntuples(result); ++row) {
            QStringList cells;
            for (int column = 0; column < PQnfields(result); ++column)
                cells << QString::fromUtf8(PQgetvalue(result, row, column));
            rows << cells.join(u'|');
        }
    }
    PQclear(result);
    return rows;
}

QStringList FileRows(sqlite3* db, const QString& sql) {
    QStringList rows;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return {u"error: "_s + QString::fromUtf8(sqlite3_errmsg(db))};
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QStringList cells;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            cells << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)));
        rows << cells.join(u'|');
    }
    sqlite3_finalize(stmt);
    return rows;
}

// The column types of the file as the server's schema stands for them, as the server names them.
QString ServerType(const QString& fileType, const QString& table, const QString& column) {
    if (fileType == u"REAL"_s)
        return u"float4"_s; // single precision, as the file's amounts
    if (fileType == u"INTEGER"_s)
        return table == u"ledger"_s && column == u"fen"_s ? u"int8"_s : u"int4"_s;
    return table == u"ledger"_s && (column == u"at"_s || column == u"day"_s) ? u"text"_s
           : table == u"options"_s && column == u"value"_s                   ? u"text"_s
                                                                             : u"citext"_s;
}
} // namespace

// The shop's schema on a PostgreSQL server, on a server of the test's own: the file's tables,
// columns and indexes, text compared without letter case, one open rental per film, the version.
class ServerSchemaTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        m_server = std::make_unique<PgServer>();
        QVERIFY2(m_server->IsRunning(), qPrintable(m_server->Failure()));
        PgHandle admin(PQconnectdb(m_server->ConnectionString().toUtf8().constData()));
        QCOMPARE(PQstatus(admin.get()), CONNECTION_OK);
        QCOMPARE(PgRows(admin.get(), u"CREATE DATABASE shop"_s), QStringList());
        QString error;
        QVERIFY2(ServerDatabase::Prepare(m_server->ConnectionString(u"shop"_s), &error), qPrintable(error));
        m_db.reset(PQconnectdb(m_server->ConnectionString(u"shop"_s).toUtf8().constData()));
        QCOMPARE(PQstatus(m_db.get()), CONNECTION_OK);
    }
    void cleanupTestCase() {
        m_db.reset();
        m_server.reset();
    }

    void tablesAndColumnsAreTheFilesOwn() {
        TempShop shop;
        QString error;
        const DatabaseHandle file =
            OpenDatabase(ParseConnectionString(QString::fromUtf8(kConnectionString)), &error);
        QVERIFY2(file, qPrintable(error));
        QStringList fileColumns;
        for (const QString& table :
             FileRows(file.get(), u"SELECT name FROM sqlite_master WHERE type='table' AND "
                                  "name NOT LIKE 'sqlite%' ORDER BY name"_s)) {
            for (const QString& row : FileRows(file.get(), u"PRAGMA table_info(%1)"_s.arg(table))) {
                const QString column = row.section(u'|', 1, 1).toLower();
                fileColumns << table.toLower() + u'.' + column + u' ' +
                                   ServerType(row.section(u'|', 2, 2), table.toLower(), column);
            }
        }
        QStringList serverColumns;
        for (const QString& row : PgRows(m_db.get(), u"SELECT table_name, column_name, udt_name FROM "
                                                     "information_schema.columns WHERE table_schema='public' "
                                                     "AND table_name <> 'schemaversion' ORDER BY table_name, "
                                                     "ordinal_position"_s))
            serverColumns << row.section(u'|', 0, 0) + u'.' + row.section(u'|', 1, 1) + u' ' +
                                 row.section(u'|', 2, 2);
        fileColumns.sort();
        serverColumns.sort();
        QCOMPARE(serverColumns, fileColumns);
        // Every index of the file, by name.
        QStringList fileIndexes =
            FileRows(file.get(), u"SELECT lower(name) FROM sqlite_master WHERE type='index' AND "
                                 "name NOT LIKE 'sqlite%' ORDER BY 1"_s);
        QStringList serverIndexes =
            PgRows(m_db.get(), u"SELECT indexname FROM pg_indexes WHERE schemaname='public' "
                               "AND indexname NOT LIKE '%_pkey' ORDER BY 1"_s);
        QCOMPARE(serverIndexes, fileIndexes);
    }

    // The first administrator, his password stored hashed.
    void theFirstAdministrator() {
        const QStringList admin = PgRows(m_db.get(), u"SELECT ID, OptName, Type, OptPwd FROM Operator"_s);
        QCOMPARE(admin.size(), 1);
        QCOMPARE(admin.first().section(u'|', 0, 2), u"1|Admin|管理员"_s);
        const QString stored = admin.first().section(u'|', 3);
        QVERIFY(PasswordHash::IsHash(stored));
        QVERIFY(PasswordHash::Matches(stored, u"admin"_s));
    }

    // A database that holds a shop is left alone; a database that cannot be reached says why.
    void preparingRefusesWhatItCannotUse() {
        QString error;
        QVERIFY(!ServerDatabase::Prepare(m_server->ConnectionString(u"shop"_s), &error));
        QVERIFY2(error.contains(u"already holds a shop's tables"_s), qPrintable(error));
        QCOMPARE(PgRows(m_db.get(), u"SELECT count(*) FROM Operator"_s), QStringList{u"1"_s});
        QVERIFY(!ServerDatabase::Prepare(m_server->ConnectionString(u"nowhere"_s), &error));
        QVERIFY2(error.contains(u"nowhere"_s), qPrintable(error));
    }

    void textComparesWithoutLetterCase() {
        QCOMPARE(PgRows(m_db.get(), u"INSERT INTO Operator (OptName, Type) VALUES ('小王%_', '操作员')"_s),
                 QStringList());
        QCOMPARE(PgRows(m_db.get(), u"SELECT OptName FROM Operator WHERE OptName='admin'"_s),
                 QStringList{u"Admin"_s});
        QCOMPARE(PgRows(m_db.get(), u"SELECT OptName FROM Operator WHERE OptName LIKE 'ADM%'"_s),
                 QStringList{u"Admin"_s});
        QCOMPARE(
            PgRows(m_db.get(), u"SELECT OptName FROM Operator WHERE OptName LIKE '%\\%\\_' ESCAPE '\\'"_s),
            QStringList{u"小王%_"_s});
        QCOMPARE(PgRows(m_db.get(), u"SELECT ID FROM Operator ORDER BY ID"_s), (QStringList{u"1"_s, u"2"_s}));
        QCOMPARE(PgRows(m_db.get(), u"DELETE FROM Operator WHERE ID=2"_s), QStringList());
    }

    void oneOpenRentalPerFilm() {
        QCOMPARE(PgRows(m_db.get(),
                        u"INSERT INTO Record (FilmID, Type, ReturnDate) VALUES ('F1', '月租', ''), "
                        "('F1', '月租', '2026-12-01')"_s),
                 QStringList());
        const QStringList second =
            PgRows(m_db.get(), u"INSERT INTO Record (FilmID, Type, ReturnDate) VALUES ('f1', '零租', '')"_s);
        QCOMPARE(second.size(), 1);
        QVERIFY2(second.first().startsWith(u"error 23505"_s), qPrintable(second.first()));
        QCOMPARE(PgRows(m_db.get(), u"SELECT count(*) FROM Record"_s), QStringList{u"2"_s});
        QCOMPARE(PgRows(m_db.get(), u"DELETE FROM Record"_s), QStringList());
    }

    void theVersionIsThePrograms() {
        QCOMPARE(PgRows(m_db.get(), u"SELECT Version FROM SchemaVersion"_s),
                 QStringList{QString::number(ShopDatabase::kSchemaVersion)});
        const QStringList second = PgRows(m_db.get(), u"INSERT INTO SchemaVersion (Version) VALUES (5)"_s);
        QVERIFY2(second.value(0).startsWith(u"error 23505"_s), qPrintable(second.value(0)));
        QCOMPARE(PgRows(m_db.get(), u"SELECT MonthVcd, MonthDvd, DayVcd, DayDvd FROM Setting"_s),
                 QStringList{u"30|40|3|5"_s});
    }

private:
    std::unique_ptr<PgServer> m_server;
    PgHandle m_db;
};
VORIX_TEST(ServerSchemaTest)
#include "tst_ServerSchema.moc"
