#include "Shop.h"
#include "TestRegistry.h"

#include "data/CLedgerInfo.h"
#include "data/CRentInfo.h"
#include "data/Reports.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// The summaries' rows that stray from the rows they sum, a line each.
QStringList Astray() {
    const QString rows = Db::Rows(QString::fromLatin1(Db::kSummariesAstray), u'|', u'\n');
    return rows.isEmpty() ? QStringList() : rows.split(u'\n');
}

int RentalId(const QString& filmId, const QString& borrowDate) {
    return Db::Value(
               u"SELECT ID AS v FROM Record WHERE FilmID='%1' AND BorrowDate='%2'"_s.arg(filmId, borrowDate))
        .toInt();
}

bool Lend(const QString& clientId, const QString& filmId, const QString& type, const QString& borrowDate,
          const QString& returnDate = {}) {
    CRentInfo rent;
    rent.ClientID = clientId;
    rent.FilmID = filmId;
    rent.Type = type;
    rent.BorrowDate = borrowDate;
    rent.ReturnDate = returnDate;
    rent.OptUser = u"Admin"_s;
    return rent.Insert();
}
} // namespace

// The summaries the reports read (each day's ledger per kind and operator, each disc's ledger per
// kind, each title's discs, each disc's and customer's newest rental) stay equal to the rows they sum,
// whatever writes the rows.
class ReportSummariesTest : public QObject {
    Q_OBJECT
private slots:
    // Ledger rows added, of either sign and either letter case of an operator, changed and taken
    // away (as undoing an import does), the last of a group too.
    void theLedgersDays() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,FilmID) VALUES "
                         "('2026-11-05 00:00:00','2026-11-05','Admin','零租租金',300,'F1'),"
                         "('2026-11-05 23:59:59','2026-11-05','admin','零租租金',-120,'f1'),"
                         "('2026-11-05 12:00:00','2026-11-05','小王','收押金',5000,'F2'),"
                         "('2026-11-06 09:00:00','2026-11-06','小王','退押金',-5000,'F2')"_s));
        CLedgerInfo row;
        row.Day = u"2026-11-06"_s;
        row.OptUser = u"小王"_s;
        row.Kind = CLedgerInfo::kTopUp;
        row.Amount = 10000;
        QVERIFY(row.Insert());
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Value(u"SELECT N || ' ' || Fen || ' ' || Plus || ' ' || Minus AS v FROM LedgerDay WHERE "
                           "Day='2026-11-05' AND Kind='零租租金' AND OptUser='ADMIN'"_s),
                 u"2 180 300 120"_s);
        QCOMPARE(Db::Value(u"SELECT N || ' ' || Fen AS v FROM FilmKinds WHERE FilmID='F1'"_s), u"2 180"_s);
        QCOMPARE(Db::Count(u"FilmKinds"_s), 3); // the top-up names no disc

        QVERIFY(Db::Exec(u"UPDATE Ledger SET Fen=Fen*2, At='2026-11-07 10:00:00' WHERE Kind='收押金'"_s));
        QVERIFY(
            Db::Exec(u"UPDATE Ledger SET Kind='赔偿', OptUser='小李', FilmID='F3' WHERE Kind='退押金'"_s));
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Count(u"LedgerDay WHERE Day='2026-11-05' AND Kind='收押金'"_s), 0);

        QVERIFY(Db::Exec(u"DELETE FROM Ledger WHERE Fen < 0 OR Kind='赔偿'"_s));
        QCOMPARE(Astray(), QStringList());
        QVERIFY(Db::Exec(u"DELETE FROM Ledger"_s));
        QCOMPARE(Db::Count(u"LedgerDay"_s), 0);
        QCOMPARE(Db::Count(u"FilmKinds"_s), 0);
    }

    // Lendings of a disc and a customer under codes of either letter case; a lending's return
    // leaves them; an exchange moves it to another disc; the newest taken away gives way to the one
    // before, the last takes the row with it; the purges of returned rentals.
    void eachDiscsAndCustomersNewestRental() {
        TempShop shop;
        QVERIFY(Lend(u"C1"_s, u"F1"_s, u"月租"_s, u"2026-10-01"_s, u"2026-10-03"_s));
        QVERIFY(Lend(u"c1"_s, u"f1"_s, u"月租"_s, u"2026-11-01"_s, u"2026-11-02"_s));
        QVERIFY(Lend(u"C2"_s, u"F2"_s, u"月租"_s, u"2026-09-01"_s));
        QVERIFY(Lend(QString(), u"F3"_s, u"零租"_s, u"2026-11-20"_s, u"2026-11-21"_s));
        QVERIFY(Lend(QString(), u"F1"_s, u"零租"_s, u"2026-08-01"_s, u"2026-08-02"_s));
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Value(u"SELECT LastLent AS v FROM FilmLent WHERE FilmID='F1'"_s), u"2026-11-01"_s);
        QCOMPARE(Db::Count(u"FilmLent"_s), 3);

        // The return, written as the rental window writes a row: nothing of the summaries moves.
        CRentInfo rent;
        rent.ClientID = u"C2"_s;
        rent.FilmID = u"F2"_s;
        rent.Type = u"月租"_s;
        rent.BorrowDate = u"2026-09-01"_s;
        rent.ReturnDate = u"2026-09-05"_s;
        rent.OptUser = u"小王"_s;
        const int f2 = RentalId(u"F2"_s, u"2026-09-01"_s);
        QVERIFY(rent.Update(f2));
        QCOMPARE(Astray(), QStringList());
        // The exchange: the rental now names F3, F2 has none left.
        rent.FilmID = u"F3"_s;
        rent.BorrowDate = u"2026-11-25"_s;
        QVERIFY(rent.Update(f2));
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Count(u"FilmLent WHERE FilmID='F2'"_s), 0);
        QCOMPARE(Db::Value(u"SELECT LastLent AS v FROM FilmLent WHERE FilmID='F3'"_s), u"2026-11-25"_s);

        QVERIFY(rent.DeleteById(RentalId(u"f1"_s, u"2026-11-01"_s)));
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Value(u"SELECT LastLent AS v FROM FilmLent WHERE FilmID='F1'"_s), u"2026-10-01"_s);
        QCOMPARE(Db::Value(u"SELECT LastLent AS v FROM ClientLent WHERE ClientID='C1'"_s), u"2026-10-01"_s);

        QVERIFY(rent.PurgeReturnedMonthly());
        QCOMPARE(Astray(), QStringList());
        QVERIFY(rent.PurgeReturnedDaily());
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Count(u"FilmLent"_s), 0);
        QCOMPARE(Db::Count(u"ClientLent"_s), 0);
    }

    // Each title's discs: discs added under names of either letter case, renamed (in letter case
    // only, and to another title), deleted, the last of a title too.
    void eachTitlesDiscs() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID, FilmName) VALUES ('F1','Hero'),('F2','hero'),"
                         "('F3','无间道'),('F4','大话西游')"_s));
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Value(u"SELECT N AS v FROM TitleDiscs WHERE FilmName='HERO'"_s), u"2"_s);
        QVERIFY(Db::Exec(u"UPDATE Film SET FilmName='HERO' WHERE FilmID='F1'"_s));
        QVERIFY(Db::Exec(u"UPDATE Film SET FilmName='无间道' WHERE FilmID='F2'"_s));
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Value(u"SELECT N AS v FROM TitleDiscs WHERE FilmName='无间道'"_s), u"2"_s);
        QVERIFY(Db::Exec(u"DELETE FROM Film WHERE FilmID IN ('F1','F4')"_s));
        QCOMPARE(Astray(), QStringList());
        QCOMPARE(Db::Count(u"TitleDiscs"_s), 1);
    }

    // The reports read the summaries: a period's takings and the idle discs agree with the rows
    // after a day's rows are taken away.
    void theReportsFollowTheRows() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID, FilmName, Type, StgDate) VALUES "
                         "('F1','英雄','DVD','2025-01-01'),('F2','无间道','VCD','2025-01-01')"_s));
        QVERIFY(Lend(QString(), u"F1"_s, u"零租"_s, u"2026-11-20"_s, u"2026-11-21"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen) VALUES "
                         "('2026-11-20 10:00:00','2026-11-20','Admin','零租租金',300)"_s));
        const QDate day(2026, 11, 30);
        QCOMPARE(Db::Rows(Reports::IdleStock(day, 30), u'|', u'\n').section(u'|', 0, 0), u"F2"_s);
        QVERIFY(Db::Rows(Reports::Takings(day.addDays(-10), day, Reports::Step::Day, {}), u'|', u'\n')
                    .contains(u"2026-11-20"_s));

        QVERIFY(Db::Exec(u"DELETE FROM Record"_s));
        QVERIFY(Db::Exec(u"DELETE FROM Ledger"_s));
        QCOMPARE(Db::Rows(Reports::IdleStock(day, 30), u'|', u'\n').count(u'\n'), 1); // both discs
        QVERIFY(!Db::Rows(Reports::Takings(day.addDays(-10), day, Reports::Step::Day, {}), u'|', u'\n')
                     .contains(u"2026-11-20"_s));
    }
};

VORIX_TEST(ReportSummariesTest)
#include "tst_ReportSummaries.moc"
