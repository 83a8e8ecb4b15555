#include "Shop.h"
#include "TestRegistry.h"

#include "data/DeskLookup.h"
#include "data/DeskPick.h"
#include "data/PinyinKeys.h"
#include "data/Sql.h"

#include <QTest>

namespace {
// A catalogue of some hundred films, every seventh out, every third returned before, and films the
// generator would not write: codes and titles differing only in letter case, the pattern
// characters, a quote and a backslash.
const char* const kShop =
    "INSERT INTO Film (FilmID, FilmName, Playactor, Type, Class1) WITH RECURSIVE n(i) AS "
    "(SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<300) "
    "SELECT CASE WHEN i%2=0 THEN 'f' ELSE 'F' END || i, '片' || i, '演员' || (i%13), "
    "CASE WHEN i%3=0 THEN 'VCD' ELSE 'DVD' END, '动作片' FROM n;"
    "INSERT INTO Film (FilmID, FilmName, Playactor) VALUES ('M1','Matrix','Keanu'),('m2','THE MATRIX 2',''),"
    "('P1','100%纯爱','a_b'),('Q1','O''Brien','back\\slash');"
    "INSERT INTO Record (ClientID, FilmID, Type, Foregift, BorrowDate, ReturnDate, OptUser) "
    "SELECT '', FilmID, '零租', 10, '2026-01-01', '2026-01-02', 'Admin' FROM Film WHERE ID%3=0;"
    "INSERT INTO Record (ClientID, FilmID, Type, Foregift, BorrowDate, ReturnDate, OptUser) "
    "SELECT '', upper(FilmID), '零租', 10, '2026-02-01', '', 'Admin' FROM Film WHERE ID%7=0 OR FilmID='m2';";

// The picker's statement as first written: whether a film is out told by EXISTS.
QString WithExists(const QString& text, bool onlyIn) {
    const QString out = QStringLiteral(
        "EXISTS (SELECT 1 FROM Record WHERE Record.FilmID = Film.FilmID AND Record.ReturnDate = '')");
    QString sql =
        QStringLiteral("SELECT FilmID AS 影片编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型, "
                       "Class1 AS 分类, CASE WHEN %1 THEN '借出' ELSE '在店' END AS 状态 FROM Film")
            .arg(out);
    QStringList where;
    if (!text.isEmpty())
        where << QStringLiteral("(FilmID LIKE %1 OR FilmName LIKE %1 OR Playactor LIKE %1)")
                     .arg(Sql::Contains(text));
    if (onlyIn)
        where << QStringLiteral("NOT ") + out;
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    return sql + QStringLiteral(" ORDER BY ID");
}
} // namespace

// The film picker finds the rows the statement with EXISTS finds, in its order, on either engine.
class DeskPickTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        m_shop = std::make_unique<TempShop>();
        for (const QString& statement : QString::fromUtf8(kShop).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            QVERIFY2(Db::Exec(statement), qPrintable(statement));
        QVERIFY(Db::Count(QStringLiteral("Record WHERE ReturnDate=''")) > 40);
        // The films' pinyin keys, as the film editor writes them: a text of Latin letters and
        // digits is found through them and the codes, the same films in the same order.
        const QString films = Db::Rows(QStringLiteral("SELECT ID, FilmName, Playactor FROM Film"),
                                       QLatin1Char('\t'), QLatin1Char('\n'));
        for (const QString& film : films.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList cells = film.split(QLatin1Char('\t'));
            QVERIFY(PinyinKeys::WriteFilm(cells[0].toLongLong(), cells[1], cells.value(2)));
        }
    }
    void cleanupTestCase() { m_shop.reset(); }

    void sameFilmsAsWithExists_data() {
        QTest::addColumn<QString>("text");
        for (const char* text : {"", "片", "片1", "f1", "F1", "matrix", "MATRIX 2", "没有这部片", "%", "100%",
                                 "_", "a_b", "'", "O'B", "' OR 1=1 --", "\\", "back\\s", "演员3"})
            QTest::newRow(text[0] ? text : "empty") << QString::fromUtf8(text);
    }
    void sameFilmsAsWithExists() {
        QFETCH(QString, text);
        for (const bool onlyIn : {false, true}) {
            const QString expected = Db::Rows(WithExists(text, onlyIn), QLatin1Char('|'), QLatin1Char('\n'));
            const QString shown =
                Db::Rows(DeskPick::Films(text, onlyIn), QLatin1Char('|'), QLatin1Char('\n'));
            QCOMPARE(shown, expected);
            if (text.isEmpty())
                QVERIFY(shown.count(QLatin1Char('\n')) > 200); // the rows were there to compare
        }
    }

private:
    std::unique_ptr<TempShop> m_shop;
};
VORIX_TEST(DeskPickTest)
#include "tst_DeskPick.moc"
