#include "LargeShop.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "data/CAdoDb.h"
#include "data/CRentInfo.h"
#include "data/engine/file/DatabaseOpen.h"

#include <QFile>
#include <QTest>
#include <climits>
#include <memory>
#include <sqlite3.h>

namespace {
// A generated shop of some years' work, and rows the generator never writes: names in Latin letters
// of both cases, the pattern characters, a quote, codes that differ only in case, dates not in the
// clock's form and out of order, and a rental of a film no longer in the catalogue.
const char* const kOddRows =
    "INSERT INTO Film (FilmID,FilmName) VALUES('M1','Matrix'),('M2','THE MATRIX 2'),('M3','100%纯爱'),"
    "('M4','a_b'),('M5','O''Brien'),('M6','back\\slash'),('dup1','双胞胎'),('DUP1','双胞胎 B');"
    "INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
    "SELECT '',f.code,'零租',10,d.day,'2025-01-01','Admin' FROM "
    "(SELECT 'M1' AS code UNION ALL SELECT 'm2' UNION ALL SELECT 'M3' UNION ALL SELECT 'M4' UNION ALL "
    "SELECT 'M5' UNION ALL SELECT 'M6' UNION ALL SELECT 'dup1' UNION ALL SELECT 'GONE') f, "
    "(SELECT 'abc' AS day UNION ALL SELECT 'ABC' UNION ALL SELECT '' UNION ALL SELECT '2021-6-1' UNION ALL "
    "SELECT ' 2021-06-01' UNION ALL SELECT '2021-06-01 ' UNION ALL SELECT '2099-01-01' UNION ALL "
    "SELECT '1999-12-31' UNION ALL SELECT '100%' UNION ALL SELECT '2021_06') d;";

// Every row of a statement on the open shop, its cells joined, in the order the engine gives them.
QList<QByteArray> AllRows(sqlite3* db, const QString& sql) {
    QList<QByteArray> rows;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        rows << QByteArray("failed: ") + sqlite3_errmsg(db);
        return rows;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QByteArray row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            row += QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))) + '|';
        rows << row;
    }
    sqlite3_finalize(stmt);
    return rows;
}

// Empty when both give the same rows in the same order, else where they first differ.
QString Difference(const QList<QByteArray>& expected, const QList<QByteArray>& actual) {
    for (qsizetype i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        if (expected[i] != actual[i])
            return QStringLiteral("row %1: %2 instead of %3")
                .arg(i)
                .arg(QString::fromUtf8(actual[i]), QString::fromUtf8(expected[i]));
    }
    if (expected.size() != actual.size())
        return QStringLiteral("%1 rows instead of %2").arg(actual.size()).arg(expected.size());
    return QString();
}
} // namespace

// The window's film-name and date searches give exactly the rows of the statements they stand for.
class RentSearchesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        m_shop = std::make_unique<TempShop>();
        QVERIFY(QFile::remove(m_shop->DatabasePath()));
        QString error;
        QVERIFY2(BuildLargeShop(m_shop->DatabasePath(), {3000, 300, 60000, 0}, &error), qPrintable(error));
        QVERIFY(Db::Exec(QString::fromUtf8(kOddRows)));
        // One connection for every statement: opening the file derives its key each time.
        m_db = DatabaseOpen::OpenDatabase(
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
        QVERIFY2(m_db, qPrintable(error));
    }
    void cleanupTestCase() {
        m_db.reset();
        m_shop.reset();
    }

    void sameRowsAsTheStatementsTheyStandFor_data() {
        QTest::addColumn<QString>("text");
        for (const char* text :
             {"",       " ", "天",  "龙",  "花样",   "没有这部片", "matrix",  "MATRIX", "Matrix 2", "%",
              "100%",   "_", "a_b", "'",   "O'B",    "\\",         "back\\s", "双胞胎", "2021-06",  "2019",
              "-02-29", "2", "-",   "abc", "2021-6", "1999",       "2021_06", "x"})
            QTest::newRow(text[0] ? text : "empty") << QString::fromUtf8(text);
    }
    void sameRowsAsTheStatementsTheyStandFor() {
        QFETCH(QString, text);
        const QList<QByteArray> byName = AllRows(m_db.get(), RentGrid::FilmNameContains(text));
        QVERIFY(byName.isEmpty() || !byName.first().startsWith("failed"));
        // Counted against 1, 200 and all rentals, and against 1, 5 and all films: read newest first,
        // or by the films.
        const std::pair<int, int> counts[] = {{1, INT_MAX},       {200, INT_MAX},
                                              {INT_MAX, INT_MAX}, {INT_MAX, 1},
                                              {INT_MAX, 5},       {RentGrid::kFewRows, RentGrid::kFewFilms}};
        for (const auto& [fewRows, fewFilms] : counts) {
            const QString search = RentGrid::FilmNameSearch(text, fewRows, fewFilms);
            ++m_forms[search == RentGrid::FilmNameContains(text) ? 0 : 1];
            const QString difference = Difference(byName, AllRows(m_db.get(), search));
            QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("film name, %1 rentals, %2 films: %3")
                                                          .arg(fewRows)
                                                          .arg(fewFilms)
                                                          .arg(difference)));
        }
        const QList<QByteArray> byDate = AllRows(m_db.get(), RentGrid::BorrowDateContains(text));
        const QString difference = Difference(byDate, AllRows(m_db.get(), RentGrid::BorrowDateSearch(text)));
        QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("date: ") + difference));
    }
    void bothFormsOfTheNameSearchRan() {
        QVERIFY(m_forms[0] > 0);
        QVERIFY(m_forms[1] > 0);
    }

private:
    std::unique_ptr<TempShop> m_shop;
    DatabaseHandle m_db;
    int m_forms[2] = {0, 0}; // searches that ran the statement as it stands, and by the films
};

VORIX_TEST_ON_FILE_ONLY(RentSearchesTest)
#include "tst_RentSearches.moc"
