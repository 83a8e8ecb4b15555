#include "PgServer.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "base/PasswordHash.h"
#include "data/CAdoDb.h"
#include "data/engine/Engine.h"
#include "data/engine/ShopConnection.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"
#include "data/engine/file/SchemaUpgrade.h"
#include "data/shop/ServerDatabase.h"

#include <QDateTime>
#include <QFileInfo>
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
        return u"float8"_s; // the file's eight bytes, so that an amount goes over and back exactly
    if (fileType == u"INTEGER"_s)
        return ((table == u"ledger"_s || table == u"drawerfloat"_s) && column == u"fen"_s) ||
                       ((table == u"ledgerday"_s || table == u"filmkinds"_s) && column != u"n"_s)
                   ? u"int8"_s
                   : u"int4"_s;
    // Times, days and values compare as written, and the search keys (lowercase already) byte by
    // byte; every other text without letter case.
    static const QStringList exact{u"ledger.at"_s,       u"ledger.day"_s,          u"options.value"_s,
                                   u"deskaction.at"_s,   u"deskaction.undoneat"_s, u"drawerfloat.day"_s,
                                   u"drawerfloat.at"_s,  u"importrun.at"_s,        u"importrun.undoneat"_s,
                                   u"importrow.image"_s, u"audittrail.at"_s,       u"ledgerday.day"_s};
    const bool date = table == u"reservation"_s && (column.endsWith(u"date"_s) || column == u"helduntil"_s);
    return date || exact.contains(table + u'.' + column) || column == u"pinyin"_s ? u"text"_s : u"citext"_s;
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
        const DatabaseHandle file = DatabaseOpen::OpenDatabase(
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
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
        QVERIFY2(error.contains(u"already holds tables (public.audittrail, public.client, "_s),
                 qPrintable(error));
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
                 QStringList{QString::number(Schema::kVersion)});
        const QStringList second = PgRows(m_db.get(), u"INSERT INTO SchemaVersion (Version) VALUES (5)"_s);
        QVERIFY2(second.value(0).startsWith(u"error 23505"_s), qPrintable(second.value(0)));
        QCOMPARE(PgRows(m_db.get(), u"SELECT MonthVcd, MonthDvd, DayVcd, DayDvd FROM Setting"_s),
                 QStringList{u"30|40|3|5"_s});
    }

    // A shop of the previous version opens brought up to date: its indexes made, its rows as they
    // were; a second desk opening it then finds the work done.
    void anEarlierShopIsBroughtUpToDate() {
        const QString shop = m_server->ConnectionString(u"shop"_s);
        const QString sortIndexes =
            u"SELECT count(*) FROM pg_indexes WHERE tablename = 'film' AND indexname IN "
            "('film_playactor', 'film_type', 'film_class1', 'film_class2', "
            "'film_stgdate', 'film_degree', 'film_remark')"_s;
        QCOMPARE(PgRows(m_db.get(), u"DROP INDEX Film_Playactor, Film_Type, Film_Class1, Film_Class2, "
                                    "Film_StgDate, Film_Degree, Film_Remark"_s),
                 QStringList());
        // A film of that shop, without the search keys of a later version.
        QCOMPARE(PgRows(m_db.get(), u"DROP TABLE FilmKey, ClientKey; INSERT INTO Film (FilmID, FilmName) "
                                    "VALUES ('U1', '长江七号')"_s),
                 QStringList());
        QCOMPARE(PgRows(m_db.get(), u"UPDATE SchemaVersion SET Version = 4"_s), QStringList());
        QCOMPARE(PgRows(m_db.get(), sortIndexes), QStringList{u"0"_s});
        const QStringList before = PgRows(m_db.get(), u"SELECT * FROM Setting"_s);
        for (int desk = 0; desk < 2; ++desk) {
            EngineError error;
            const ConnectionHandle db = Engine::Open(ShopConnection::ForServer(shop), &error);
            QVERIFY2(db, qPrintable(error.text));
        }
        QCOMPARE(PgRows(m_db.get(), u"SELECT Version FROM SchemaVersion"_s),
                 QStringList{QString::number(Schema::kVersion)});
        QCOMPARE(PgRows(m_db.get(), sortIndexes), QStringList{u"7"_s});
        QCOMPARE(PgRows(m_db.get(), u"SELECT * FROM Setting"_s), before);
        QCOMPARE(PgRows(m_db.get(), u"SELECT k.Pinyin FROM FilmKey k JOIN Film f ON f.ID = k.Film WHERE "
                                    "f.FilmID = 'U1' AND k.Kind = 1 ORDER BY 1"_s),
                 (QStringList{u"cjqh"_s, u"zjqh"_s}));
        QCOMPARE(PgRows(m_db.get(), u"SELECT count(*) FROM pg_indexes WHERE tablename = 'filmkey'"_s),
                 QStringList{u"2"_s});
        QCOMPARE(PgRows(m_db.get(), u"DELETE FROM Film WHERE FilmID = 'U1'; DELETE FROM FilmKey"_s),
                 QStringList());
    }
    // ... and one older than that, or newer than this program, is refused and left as it is.
    void aShopOfAnotherVersionIsRefused() {
        const QString shop = m_server->ConnectionString(u"shop"_s);
        for (const int version : {3, Schema::kVersion + 1}) {
            QCOMPARE(PgRows(m_db.get(), u"UPDATE SchemaVersion SET Version = %1"_s.arg(version)),
                     QStringList());
            EngineError error;
            QVERIFY(!Engine::Open(ShopConnection::ForServer(shop), &error));
            QVERIFY2(error.text.contains(u"本程序不能使用它"_s), qPrintable(error.text));
            QCOMPARE(PgRows(m_db.get(), u"SELECT Version FROM SchemaVersion"_s),
                     QStringList{QString::number(version)});
        }
        QCOMPARE(PgRows(m_db.get(), u"UPDATE SchemaVersion SET Version = %1"_s.arg(Schema::kVersion)),
                 QStringList());
    }

    // A shop file moves onto the server whole: every row of every table with its ID and its text
    // exactly, the counts checked; new rows there take the IDs after the file's.
    void aShopFileMovesWhole() {
        TempShop shop;
        for (const QString& sql : {
                 u"INSERT INTO Client (ClientID, PhoneNum, CreateDate, Foregift, Balance, Remark) VALUES "
                 "('C1', '0123', '2026-01-01', 50, 70.5, '老客户,''很好''\t制表\n第二行\\反斜杠😀'), "
                 "('c2', '', '', 0, -2.5, ''), ('C3', '', '', 0.1, 1234567.89, '')"_s,
                 u"INSERT INTO Film (FilmID, FilmName, Type, Degree) VALUES ('V1', '英雄', 'VCD', 3), "
                 "('D1', '无间道', 'DVD', 0)"_s,
                 u"INSERT INTO Record (ClientID, FilmID, Type, Foregift, BorrowDate, ReturnDate, OptUser) "
                 u"VALUES "
                 "('C1', 'V1', '月租', 0, '2026-12-01', '', 'Admin'), "
                 "('', 'D1', '零租', 45, '2026-11-20', '2026-11-22', 'Admin')"_s,
                 u"DELETE FROM Record WHERE ID=2"_s, // a gap in the IDs
                 u"INSERT INTO Ledger (At, Day, OptUser, Kind, Fen, ClientID, FilmID, RentID, Note) VALUES "
                 "('2026-12-01 10:00:00', '2026-12-01', 'Admin', '月租扣款', 3000, 'C1', 'V1', 1, '')"_s,
                 u"INSERT INTO Options (Name, Value) VALUES ('ShopName', '好运影碟')"_s,
                 u"INSERT INTO Reservation (ClientID, FilmName, AskDate, State, HeldFilmID, HeldUntil) "
                 u"VALUES "
                 "('C1', '英雄', '2026-12-01', '已留片', 'V1', '2026-12-04'), ('c2', '英雄', '2026-12-02', "
                 "'等待', "
                 "'', '')"_s,
                 u"INSERT INTO AuditTrail (At, OptUser, Desk, Kind, ItemKey, Detail) VALUES "
                 "('2026-12-01 10:00:00', 'Admin', '前台', '影片修改', 'V1', '片名: 英雄 → 英雄''s')"_s,
                 u"UPDATE Setting SET MonthVcd = 35.5"_s,
             })
            QVERIFY2(Db::Exec(sql), qPrintable(sql));
        PgHandle admin(PQconnectdb(m_server->ConnectionString().toUtf8().constData()));
        QCOMPARE(PgRows(admin.get(), u"CREATE DATABASE moved"_s), QStringList());
        ServerDatabase::Counts counts;
        QString error;
        QVERIFY2(ServerDatabase::CopyFromFile(shop.DatabasePath(), m_server->ConnectionString(u"moved"_s),
                                              &counts, &error),
                 qPrintable(error));
        QCOMPARE(counts, (ServerDatabase::Counts{{u"Client"_s, 3},
                                                 {u"Film"_s, 2},
                                                 {u"Record"_s, 1},
                                                 {u"Operator"_s, 1},
                                                 {u"Setting"_s, 1},
                                                 {u"Ledger"_s, 1},
                                                 {u"Options"_s, 1},
                                                 {u"FilmKey"_s, 0},
                                                 {u"ClientKey"_s, 0},
                                                 {u"RentContact"_s, 0},
                                                 {u"DrawerFloat"_s, 0},
                                                 {u"DeskAction"_s, 0},
                                                 {u"Reservation"_s, 2},
                                                 {u"ImportRun"_s, 0},
                                                 {u"ImportRow"_s, 0},
                                                 {u"AuditTrail"_s, 1}}));

        PgHandle moved(PQconnectdb(m_server->ConnectionString(u"moved"_s).toUtf8().constData()));
        QString fileError;
        const DatabaseHandle file = DatabaseOpen::OpenDatabase(
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &fileError);
        QVERIFY2(file, qPrintable(fileError));
        for (const QString& table :
             {u"Client"_s, u"Film"_s, u"Record"_s, u"Operator"_s, u"Setting"_s, u"Ledger"_s, u"Options"_s,
              u"RentContact"_s, u"DrawerFloat"_s, u"DeskAction"_s, u"Reservation"_s, u"AuditTrail"_s,
              u"LedgerDay"_s, u"FilmKinds"_s, u"TitleDiscs"_s, u"FilmLent"_s, u"ClientLent"_s}) {
            QStringList names;
            QList<bool> real;
            for (const QString& row : FileRows(file.get(), u"PRAGMA table_info(%1)"_s.arg(table))) {
                names << row.section(u'|', 1, 1);
                real << (row.section(u'|', 2, 2) == u"REAL"_s);
            }
            const QString select = u"SELECT %1 FROM %2 ORDER BY 1"_s.arg(names.join(u','), table);
            // Amounts compare as the numbers they are, to the last bit: the two engines write a real
            // each their own way.
            const auto normal = [&real](const QStringList& rows) {
                QStringList out;
                for (const QString& row : rows) {
                    QStringList cells = row.split(u'|');
                    for (int c = 0; c < cells.size() && c < real.size(); ++c) {
                        if (real[c])
                            cells[c] = QString::number(cells[c].toDouble(), 'g', 17);
                    }
                    out << cells.join(u'|');
                }
                return out;
            };
            QCOMPARE(normal(PgRows(moved.get(), select)), normal(FileRows(file.get(), select)));
        }
        // Every index, made after the rows.
        const QString indexes = u"SELECT indexname FROM pg_indexes WHERE schemaname='public' ORDER BY 1"_s;
        QCOMPARE(PgRows(moved.get(), indexes), PgRows(m_db.get(), indexes));
        // And back into a new file: every row as it was.
        const QString backPath = shop.Dir() + u"/back.mdb"_s;
        ServerDatabase::Counts backCounts;
        QVERIFY2(
            ServerDatabase::CopyToFile(m_server->ConnectionString(u"moved"_s), backPath, &backCounts, &error),
            qPrintable(error));
        QCOMPARE(backCounts, counts);
        {
            ConnectionSettings settings =
                DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
            settings.dataSource = backPath;
            const DatabaseHandle back = DatabaseOpen::OpenDatabase(settings, &fileError);
            QVERIFY2(back, qPrintable(fileError));
            for (const char* table :
                 {"Client", "Film", "Record", "Operator", "Setting", "Ledger", "Options", "RentContact",
                  "DrawerFloat", "DeskAction", "Reservation", "AuditTrail"}) {
                const QString all = u"SELECT * FROM %1 ORDER BY rowid"_s.arg(QLatin1String(table));
                QCOMPARE(FileRows(back.get(), all), FileRows(file.get(), all));
            }
            // The reports' summaries, written from the rows copied (they have no row ID to order by).
            for (const char* table : {"LedgerDay", "FilmKinds", "TitleDiscs", "FilmLent", "ClientLent"}) {
                const QString all = u"SELECT * FROM %1 ORDER BY 1, 2"_s.arg(QLatin1String(table));
                QCOMPARE(FileRows(back.get(), all), FileRows(file.get(), all));
            }
            QCOMPARE(FileRows(back.get(), u"PRAGMA user_version"_s),
                     FileRows(file.get(), u"PRAGMA user_version"_s));
            const QString schema = u"SELECT type, name, sql FROM sqlite_master ORDER BY type, name"_s;
            QCOMPARE(FileRows(back.get(), schema), FileRows(file.get(), schema));
        }
        QVERIFY(!ServerDatabase::CopyToFile(m_server->ConnectionString(u"moved"_s), backPath, &backCounts,
                                            &error));
        QVERIFY2(error.contains(u"already exists"_s), qPrintable(error));
        QCOMPARE(PgRows(moved.get(), u"INSERT INTO Record (FilmID) VALUES ('D1') RETURNING ID"_s),
                 QStringList{u"2"_s});
        // A database that holds a shop now is not copied into again.
        QVERIFY(!ServerDatabase::CopyFromFile(shop.DatabasePath(), m_server->ConnectionString(u"moved"_s),
                                              &counts, &error));
        QVERIFY2(error.contains(u"already holds tables"_s), qPrintable(error));
    }

    // A database that holds another program's tables (or views) is not empty: neither the
    // preparing nor the move adds a shop beside them.
    void aDatabaseWithForeignTablesIsLeftAlone() {
        PgHandle admin(PQconnectdb(m_server->ConnectionString().toUtf8().constData()));
        QCOMPARE(PgRows(admin.get(), u"CREATE DATABASE foreign_tables"_s), QStringList());
        PgHandle other(PQconnectdb(m_server->ConnectionString(u"foreign_tables"_s).toUtf8().constData()));
        QCOMPARE(PgRows(other.get(), u"CREATE SCHEMA books; CREATE TABLE books.ledger (x int); "
                                     "CREATE VIEW notes AS SELECT 1 AS x"_s),
                 QStringList());
        const QString tables =
            u"SELECT table_schema || '.' || table_name FROM information_schema.tables WHERE "
            "table_schema NOT IN ('pg_catalog', 'information_schema') ORDER BY 1"_s;
        const QStringList before = PgRows(other.get(), tables);
        TempShop shop;
        QString error;
        QVERIFY(!ServerDatabase::Prepare(m_server->ConnectionString(u"foreign_tables"_s), &error));
        QVERIFY2(error.contains(u"already holds tables (books.ledger, public.notes)"_s), qPrintable(error));
        ServerDatabase::Counts counts;
        QVERIFY(!ServerDatabase::CopyFromFile(
            shop.DatabasePath(), m_server->ConnectionString(u"foreign_tables"_s), &counts, &error));
        QVERIFY2(error.contains(u"already holds tables"_s), qPrintable(error));
        QCOMPARE(PgRows(other.get(), tables), before);
    }

    // The move only reads its file: a file of an earlier version goes over as it is and stays
    // as it was, to the byte; a password stored as typed goes over as its hash.
    void theMoveReadsAnEarlierFileAndLeavesIt() {
        TempShop shop;
        QVERIFY(
            Db::Exec(u"INSERT INTO Client (ClientID, Balance, Remark) VALUES ('C1', 1234567.89, '张三')"_s));
        {
            QString error;
            const DatabaseHandle file = DatabaseOpen::OpenDatabase(
                DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
            QVERIFY2(file, qPrintable(error));
            // The file as the first version wrote it: no ledger, no options, passwords as typed.
            for (const char* sql :
                 {"DROP TABLE Ledger", "DROP TABLE Options", "DROP TABLE FilmKey", "DROP TABLE ClientKey",
                  "DROP INDEX Film_NameCode", "DROP INDEX Record_BorrowDate",
                  "UPDATE Operator SET OptPwd = 'admin'",
                  "INSERT INTO Operator (OptName, OptPwd, Type) VALUES ('Kasse', 'geheim 2', '操作员')",
                  "PRAGMA user_version = 1", "PRAGMA wal_checkpoint(TRUNCATE)"})
                QVERIFY2(FileError::Run(file.get(), sql, &error), qPrintable(error));
        }
        QFile source(shop.DatabasePath());
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray before = source.readAll();
        const QDateTime modified = QFileInfo(source).lastModified();
        source.close();
        PgHandle admin(PQconnectdb(m_server->ConnectionString().toUtf8().constData()));
        QCOMPARE(PgRows(admin.get(), u"CREATE DATABASE earlier"_s), QStringList());
        ServerDatabase::Counts counts;
        QString error;
        QVERIFY2(ServerDatabase::CopyFromFile(shop.DatabasePath(), m_server->ConnectionString(u"earlier"_s),
                                              &counts, &error),
                 qPrintable(error));
        QCOMPARE(counts, (ServerDatabase::Counts{{u"Client"_s, 1},
                                                 {u"Film"_s, 0},
                                                 {u"Record"_s, 0},
                                                 {u"Operator"_s, 2},
                                                 {u"Setting"_s, 1},
                                                 {u"Ledger"_s, 0},
                                                 {u"Options"_s, 0},
                                                 {u"FilmKey"_s, 0},
                                                 {u"ClientKey"_s, 4},
                                                 {u"RentContact"_s, 0},
                                                 {u"DrawerFloat"_s, 0},
                                                 {u"DeskAction"_s, 0},
                                                 {u"Reservation"_s, 0},
                                                 {u"ImportRun"_s, 0},
                                                 {u"ImportRow"_s, 0},
                                                 {u"AuditTrail"_s, 0}}));

        QVERIFY(source.open(QIODevice::ReadOnly));
        QVERIFY(source.readAll() == before);
        QCOMPARE(QFileInfo(source).lastModified(), modified);
        PgHandle earlier(PQconnectdb(m_server->ConnectionString(u"earlier"_s).toUtf8().constData()));
        QCOMPARE(PgRows(earlier.get(), u"SELECT Balance FROM Client"_s), QStringList{u"1234567.89"_s});
        // A file from before the search keys: the server writes them.
        QCOMPARE(PgRows(earlier.get(), u"SELECT Client, Kind, Pinyin FROM ClientKey ORDER BY Kind"_s),
                 (QStringList{u"1|1|zs"_s, u"1|2|zhangsan"_s, u"1|4|s"_s, u"1|5|san"_s}));
        const QStringList operators =
            PgRows(earlier.get(), u"SELECT OptName, OptPwd FROM Operator ORDER BY ID"_s);
        QCOMPARE(operators.size(), 2);
        QVERIFY(PasswordHash::Matches(operators[0].section(u'|', 1), u"admin"_s));
        QVERIFY(PasswordHash::Matches(operators[1].section(u'|', 1), u"geheim 2"_s));
        QVERIFY(PasswordHash::IsHash(operators[1].section(u'|', 1)));
        // A file newer than this program is not moved.
        {
            const DatabaseHandle file = DatabaseOpen::OpenDatabase(
                DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
            QVERIFY(file && FileError::Run(file.get(), "PRAGMA user_version = 9", &error));
        }
        QCOMPARE(PgRows(admin.get(), u"CREATE DATABASE newer"_s), QStringList());
        QVERIFY(!ServerDatabase::CopyFromFile(shop.DatabasePath(), m_server->ConnectionString(u"newer"_s),
                                              &counts, &error));
        QVERIFY2(error.contains(u"version"_s), qPrintable(error));
    }

    // A copy that fails half-way leaves the server's database empty.
    void aFailedMoveLeavesNothing() {
        TempShop shop;
        // Two open rentals of one film, which the server's index refuses (the file's would too).
        QVERIFY(Db::Exec(u"DROP INDEX Record_OpenFilm"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Record (FilmID, ReturnDate) VALUES ('F2', ''), ('f2', '')"_s));
        PgHandle admin(PQconnectdb(m_server->ConnectionString().toUtf8().constData()));
        QCOMPARE(PgRows(admin.get(), u"CREATE DATABASE failed"_s), QStringList());
        ServerDatabase::Counts counts;
        QString error;
        QVERIFY(!ServerDatabase::CopyFromFile(shop.DatabasePath(), m_server->ConnectionString(u"failed"_s),
                                              &counts, &error));
        QVERIFY2(error.contains(u"record_openfilm"_s), qPrintable(error));
        QVERIFY(counts.isEmpty());
        PgHandle failed(PQconnectdb(m_server->ConnectionString(u"failed"_s).toUtf8().constData()));
        QCOMPARE(PgRows(failed.get(),
                        u"SELECT count(*) FROM information_schema.tables WHERE table_schema='public'"_s),
                 QStringList{u"0"_s});
    }

private:
    std::unique_ptr<PgServer> m_server;
    PgHandle m_db;
};
VORIX_TEST_ON_FILE_ONLY(ServerSchemaTest)
#include "tst_ServerSchema.moc"
