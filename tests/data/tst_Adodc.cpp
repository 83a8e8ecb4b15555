#include "Shop.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "data/CAdoDb.h"
#include "data/CAdodc.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/engine/ConnectionPool.h"
#include "data/engine/ShopConnection.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {
const int kBatch = CAdodc::kFetchRows;

// Films F1 .. Fcount with the titles 片1 .. 片count, in ID order.
void AddFilms(int count) {
    if (count == 0)
        return;
    QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID, FilmName) WITH RECURSIVE n(i) AS "
                                    "(SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<%1) "
                                    "SELECT 'F'||i, '片'||i FROM n")
                         .arg(count)));
}

QString Newest() {
    return QStringLiteral("SELECT ID, FilmID AS 编号, FilmName AS 片名 FROM Film ORDER BY ID DESC");
}

void FetchAll(CAdodc& adodc) {
    while (adodc.canFetchMore(QModelIndex()))
        adodc.fetchMore(QModelIndex());
}

// True when every change in the write-ahead log could be copied into the file: no connection is
// still reading an older state of it, that is, no statement of an older state is open.
bool NoOlderReader() {
    CAdoDb db;
    const CRecordset& rs = db.Query(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
    return !rs.IsEOF() && rs.GetInt("busy") == 0 && rs.GetInt("log") == rs.GetInt("checkpointed");
}

void AddOneFilm(const char* code) {
    CFilmInfo film;
    film.SetFilmID(QString::fromUtf8(code));
    film.SetFilmName(QStringLiteral("新片"));
    QVERIFY(film.Insert());
}
} // namespace

class AdodcTest : public QObject {
    Q_OBJECT
private slots:
    // The shop's amounts read as money in every grid: two decimals, right-aligned; what is
    // stored, and every other column, as it is.
    void amountsShowAsMoney_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("money");
        QTest::newRow("client's deposit")
            << ClientGrid::All() << 4 << QStringLiteral("50.5") << QStringLiteral("50.50") << true;
        QTest::newRow("client's balance")
            << ClientGrid::All() << 5 << QStringLiteral("-2.99") << QStringLiteral("-2.99") << true;
        QTest::newRow("rental's deposit")
            << RentGrid::All() << 5 << QStringLiteral("45.0") << QStringLiteral("45.00") << true;
        QTest::newRow("a phone stays text")
            << ClientGrid::All() << 2 << QStringLiteral("0123.5") << QStringLiteral("0123.5") << false;
        QTest::newRow("a count stays a count")
            << FilmGrid::All() << 8 << QStringLiteral("7") << QStringLiteral("7") << false;
    }
    void amountsShowAsMoney() {
        QFETCH(QString, sql);
        QFETCH(int, column);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(bool, money);
        TempShop shop;
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Client (ClientID, PhoneNum, Foregift, Balance) VALUES "
                                        "('C1', '0123.5', 50.5, -2.99)")));
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Film (FilmID, FilmName, Degree) VALUES ('F1', '英雄', 7)")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Record (FilmID, Type, Foregift, BorrowDate) VALUES "
                                        "('F1', '零租', 45, '2026-12-01')")));
        CAdodc adodc;
        adodc.SetRecordSource(sql);
        adodc.Refresh();
        QCOMPARE(adodc.rowCount(), 1);
        const QModelIndex cell = adodc.index(0, column);
        QCOMPARE(adodc.Text(0, column), stored);
        QCOMPARE(adodc.data(cell).toString(), shown);
        QCOMPARE(adodc.IsMoney(column), money);
        QCOMPARE(adodc.data(cell, Qt::TextAlignmentRole).isValid(), money);
        if (money)
            QCOMPARE(adodc.data(cell, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    }

    // Rows come in batches as the view asks for them, never all at once, and in query order.
    void rowsAreFetchedOnDemand_data() {
        QTest::addColumn<int>("films");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("one batch exactly") << kBatch;
        QTest::newRow("one more than a batch") << kBatch + 1;
        QTest::newRow("several batches") << 3 * kBatch + 5;
    }
    void rowsAreFetchedOnDemand() {
        QFETCH(int, films);
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(films);
        CAdodc adodc;
        QSignalSpy current(&adodc, &CAdodc::currentRowChanged);
        adodc.SetRecordSource(Newest());
        QCOMPARE(adodc.RecordSource(), Newest());
        adodc.Refresh();
        QCOMPARE(adodc.IsEOF(), films == 0);
        QCOMPARE(adodc.CurrentRow(), films == 0 ? -1 : 0);
        QCOMPARE(current.size(), 1);
        QCOMPARE(current.first().first().toInt(), adodc.CurrentRow());
        QCOMPARE(adodc.columnCount(), 3);

        int expected = qMin(films, kBatch);
        QCOMPARE(adodc.rowCount(), expected);
        QCoreApplication::processEvents();
        QCOMPARE(adodc.rowCount(), expected); // nothing is read unless asked for
        while (adodc.canFetchMore(QModelIndex())) {
            adodc.fetchMore(QModelIndex());
            expected = qMin(films, expected + kBatch);
            QCOMPARE(adodc.rowCount(), expected);
        }
        QCOMPARE(adodc.rowCount(), films);
        for (int row = 0; row < films; ++row) {
            QCOMPARE(adodc.Text(row, 0), QString::number(films - row));
            QCOMPARE(adodc.data(adodc.index(row, 2)).toString(), QStringLiteral("片%1").arg(films - row));
        }
        QCOMPARE(adodc.Text(films, 0), QString());
        QCOMPARE(adodc.Text(0, 3), QString());
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void headingsAreTheColumnNames() {
        TempShop shop;
        BoxRecorder boxes;
        CAdodc adodc;
        // Also on an empty result: the grid shows its headings over no rows.
        adodc.SetRecordSource(
            QStringLiteral("SELECT ID, FilmID AS 编号, StgDate AS 入库日期, Degree FROM Film"));
        adodc.Refresh();
        QCOMPARE(adodc.rowCount(), 0);
        QStringList headings;
        for (int c = 0; c < adodc.columnCount(); ++c)
            headings << adodc.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headings, Texts({"ID", "编号", "入库日期", "Degree"}));
        QCOMPARE(adodc.headerData(4, Qt::Horizontal), QVariant());
    }

    void valuesAreShownAsText() {
        TempShop shop;
        BoxRecorder boxes;
        CAdodc adodc;
        adodc.SetRecordSource(
            QStringLiteral("SELECT NULL AS a, 7 AS b, 12.5 AS c, 'O''Brien' AS d, '' AS e, '影片' AS f"));
        adodc.Refresh();
        QCOMPARE(adodc.rowCount(), 1);
        QStringList row;
        for (int c = 0; c < adodc.columnCount(); ++c)
            row << adodc.Text(0, c);
        QCOMPARE(row, Texts({"", "7", "12.5", "O'Brien", "", "影片"}));
    }

    // A failed query shows the engine's message once and leaves nothing to browse; the next good
    // query runs as usual.
    void failedQueryGivesOneBoxAndAnEmptyModel_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        QTest::newRow("prepare") << QStringLiteral("SELECT * FROM Nowhere")
                                 << EngineText("no such table: Nowhere",
                                               "relation \"nowhere\" does not exist");
        QTest::newRow("step") << QStringLiteral("SELECT abs(-9223372036854775807 - 1) AS v")
                              << EngineText("integer overflow", "bigint out of range");
        QTest::newRow("form's initial query")
            << QStringLiteral("SELECT * FROM ")
            << EngineText("near \" \": syntax error", "syntax error at end of input");
    }
    void failedQueryGivesOneBoxAndAnEmptyModel() {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(3);
        CAdodc adodc;
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        QCOMPARE(adodc.rowCount(), 3);
        adodc.SetRecordSource(sql);
        adodc.Refresh();
        QCOMPARE(boxes.Texts(), QStringList{message});
        QCOMPARE(boxes.Boxes().first().icon, MsgIcon::Warning);
        QCOMPARE(adodc.rowCount(), 0);
        QCOMPARE(adodc.columnCount(), 0);
        QVERIFY(adodc.IsEOF());
        QVERIFY(!adodc.canFetchMore(QModelIndex()));
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        QCOMPARE(adodc.rowCount(), 3);
        QCOMPARE(boxes.Boxes().size(), 1);
    }

    void failureWhileScrollingKeepsTheRowsRead() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(2 * kBatch);
        CAdodc adodc;
        // The server's in the order of its table, so that it computes each row as it sends it; it
        // computes a constant before the first row, so its overflow is the row's own.
        adodc.SetRecordSource(
            QStringLiteral("SELECT CASE WHEN ID=%1 THEN %2 ELSE ID END AS v FROM Film%3")
                .arg(kBatch + 10)
                .arg(EngineText("abs(-9223372036854775807 - 1)", "9223372036854775807 + ID"),
                     EngineText(" ORDER BY ID", "")));
        adodc.Refresh();
        QCOMPARE(adodc.rowCount(), kBatch);
        adodc.fetchMore(QModelIndex());
        QCOMPARE(boxes.Texts(), QStringList{EngineText("integer overflow", "bigint out of range")});
        // The server hands a cursor's rows over a fetch at a time: the failed fetch brings none.
        QCOMPARE(adodc.rowCount(), TestEngine::OnServer() ? kBatch : kBatch + 9);
        QVERIFY(!adodc.canFetchMore(QModelIndex()));
        QCOMPARE(adodc.CurrentRow(), 0);
    }

    void missingFileIsReportedOnce() {
        VORIX_FILE_ONLY();
        TempShop shop;
        QFile::remove(shop.DatabasePath());
        BoxRecorder boxes;
        CAdodc adodc;
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        adodc.Refresh();
        QCOMPARE(boxes.Texts().size(), 1);
        ExpectDescribed(boxes.Texts().first(), "无法打开数据库文件", "unable to open database file");
        QVERIFY(adodc.IsEOF());
        QCOMPARE(adodc.columnCount(), 0);
        QVERIFY(!QFile::exists(shop.DatabasePath()));
    }

    void foreignFileIsReported() {
        VORIX_FILE_ONLY();
        TempShop shop;
        QFile file(shop.DatabasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
        file.close();
        BoxRecorder boxes;
        CAdodc adodc;
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        QCOMPARE(boxes.Texts().size(), 1);
        ExpectDescribed(boxes.Texts().first(), "数据库文件已损坏", "file is encrypted or is not a database");
        QVERIFY(adodc.IsEOF());
    }

    // The open statement lets the editors write; the next refresh shows what they wrote.
    void writesSucceedWhileTheStatementIsOpen() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(2 * kBatch);
        CAdodc adodc;
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        QVERIFY(adodc.canFetchMore(QModelIndex()));
        AddOneFilm("NEW1");
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Film SET FilmName='改名' WHERE FilmID='F1'")));
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Film WHERE FilmID='F2'")));
        QCOMPARE(boxes.Boxes().size(), 0);
        adodc.Refresh();
        QCOMPARE(adodc.Text(0, 1), QStringLiteral("NEW1"));
        FetchAll(adodc);
        QCOMPARE(adodc.rowCount(), 2 * kBatch);
        QCOMPARE(adodc.Text(adodc.rowCount() - 1, 2), QStringLiteral("改名"));
        QCOMPARE(adodc.Text(adodc.rowCount() - 2, 1), QStringLiteral("F3"));
    }

    // An open statement keeps reading the file as it was; it must end when it is replaced and when
    // its last row is read, or the log of every later write would pile up behind it.
    void statementsEndWhenReplacedOrReadToTheEnd() {
        VORIX_FILE_ONLY();
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(2 * kBatch);
        CAdodc adodc;
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        AddOneFilm("NEW1");
        QVERIFY(!NoOlderReader());

        adodc.SetRecordSource(QStringLiteral("SELECT ID FROM Film ORDER BY ID"));
        adodc.Refresh();
        QVERIFY(adodc.canFetchMore(QModelIndex()));
        QVERIFY(NoOlderReader());

        AddOneFilm("NEW2");
        QVERIFY(!NoOlderReader());
        FetchAll(adodc);
        QCOMPARE(adodc.rowCount(), 2 * kBatch + 1); // as the file was when the statement began
        QVERIFY(NoOlderReader());
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void currentRowStaysWithinTheRowsRead() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(kBatch + 1);
        CAdodc adodc;
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        QSignalSpy current(&adodc, &CAdodc::currentRowChanged);
        adodc.SetCurrentRow(5);
        adodc.SetCurrentRow(5);
        adodc.SetCurrentRow(kBatch); // not read yet
        adodc.SetCurrentRow(-2);
        QCOMPARE(adodc.CurrentRow(), 5);
        QCOMPARE(current.size(), 1);
        adodc.SetCurrentRow(-1);
        QVERIFY(adodc.IsEOF());
        adodc.Refresh();
        QCOMPARE(adodc.CurrentRow(), 0);
        QCOMPARE(current.size(), 3);
    }

    void modelKeepsItsContract() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(3 * kBatch);
        CAdodc adodc;
        QAbstractItemModelTester tester(&adodc, QAbstractItemModelTester::FailureReportingMode::QtTest);
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        FetchAll(adodc);
        adodc.SetRecordSource(QStringLiteral("SELECT * FROM Nowhere"));
        adodc.Refresh();
        adodc.SetRecordSource(QStringLiteral("SELECT ID FROM Film WHERE ID > %1").arg(kBatch + 7));
        adodc.Refresh();
        FetchAll(adodc);
        QCOMPARE(adodc.rowCount(), 2 * kBatch - 7);
    }
    // A model's connection comes from the pool of idle ones and goes back to it when the model goes;
    // one that failed does not.
    void aModelsConnectionIsPooled() {
        TempShop shop;
        BoxRecorder boxes;
        const QString shopConnection = ShopConnection::Current();
        EngineError error;
        {
            ConnectionHandle db = ConnectionPool::Take(shopConnection, &error);
            QVERIFY(db);
            // A temporary table lives on one connection only: it tells a pooled connection from a new one.
            QVERIFY(db->Run("CREATE TEMP TABLE mark (x integer)"));
            ConnectionPool::Give(std::move(db), shopConnection, true);
        }
        {
            CAdodc adodc;
            adodc.SetRecordSource(QStringLiteral("SELECT x FROM mark"));
            adodc.Refresh();
            QCOMPARE(boxes.Boxes().size(), 0); // the marked connection
            QCOMPARE(adodc.columnCount(), 1);
        }
        {
            ConnectionHandle db = ConnectionPool::Take(shopConnection, &error);
            QVERIFY(db && db->Run("SELECT x FROM mark")); // back, and fit for the next statement
            QVERIFY(db->IsIdle());
            ConnectionPool::Give(std::move(db), shopConnection, true);
        }
        {
            CAdodc adodc;
            adodc.SetRecordSource(QStringLiteral("SELECT nothing FROM mark"));
            adodc.Refresh();
            QCOMPARE(boxes.Boxes().size(), 1);
        }
        ConnectionHandle db = ConnectionPool::Take(shopConnection, &error);
        QVERIFY(db && !db->Run("SELECT x FROM mark")); // a new one
    }

    // Sorted by a column, the model shows the window's statement's rows in that order, equal values
    // in the statement's own order when descending and turned round when ascending (one way is the
    // other read backwards); a statement of several SELECTs keeps its order.
    void sortingOrdersTheStatementsRows() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID, FilmName, Degree) VALUES ('F1', 'b', 10), "
                                        "('F2', 'A', 9), ('F3', 'a', 10), ('F4', '''', 2)")));
        CAdodc adodc;
        QAbstractItemModelTester tester(&adodc, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const auto codes = [&] {
            QStringList shown;
            for (int row = 0; row < adodc.rowCount(); ++row)
                shown << adodc.Text(row, 1);
            return shown.join(QLatin1Char(' '));
        };
        adodc.SetRecordSource(FilmGrid::All());
        adodc.sort(2);
        QCOMPARE(codes(), QStringLiteral("F4 F2 F3 F1"));
        adodc.sort(2, Qt::DescendingOrder);
        QCOMPARE(codes(), QStringLiteral("F1 F3 F2 F4"));
        adodc.sort(8); // 租次, as numbers
        QCOMPARE(codes(), QStringLiteral("F4 F2 F1 F3"));
        QCOMPARE(adodc.SortColumn(), 8);
        adodc.SetRecordSource(FilmGrid::TitleContains(QStringLiteral("a")));
        adodc.Refresh();
        QCOMPARE(codes(), QStringLiteral("F2 F3"));
        adodc.SetRecordSource(FilmGrid::TitleContains(QStringLiteral("' ORDER BY (")));
        adodc.Refresh();
        QCOMPARE(codes(), QString());
        adodc.sort(-1);
        adodc.SetRecordSource(FilmGrid::All());
        adodc.Refresh();
        QCOMPARE(codes(), QStringLiteral("F4 F3 F2 F1"));

        const QString twoSelects = QStringLiteral("SELECT 2 AS n, 'x' AS t UNION ALL SELECT 1, 'y'");
        adodc.SetRecordSource(twoSelects);
        adodc.Refresh();
        QVERIFY(!adodc.CanSort());
        adodc.sort(0);
        QCOMPARE(adodc.RecordSource(), twoSelects);
        QCOMPARE(adodc.Text(0, 0), QStringLiteral("2"));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    // FetchAll reads every row left, in order, and the model tells its views of them.
    void fetchAllReadsToTheEnd() {
        TempShop shop;
        BoxRecorder boxes;
        AddFilms(3 * kBatch + 7);
        CAdodc adodc;
        QAbstractItemModelTester tester(&adodc, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&adodc, &QAbstractItemModel::rowsInserted);
        adodc.SetRecordSource(Newest());
        adodc.Refresh();
        adodc.FetchAll();
        QCOMPARE(adodc.rowCount(), 3 * kBatch + 7);
        QVERIFY(!adodc.canFetchMore(QModelIndex()));
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(adodc.Text(adodc.rowCount() - 1, 1), QStringLiteral("F1"));
        adodc.FetchAll(); // nothing left
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(boxes.Boxes().size(), 0);
    }
};
VORIX_TEST(AdodcTest)
#include "tst_Adodc.moc"
