#include "Shop.h"
#include "TestRegistry.h"

#include "data/CLedgerInfo.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The ledger keeps whole fen: an amount in yuan, single or double precision, becomes the nearest
// fen, also where ×100 falls just short of it in binary (2.30 × 100 = 229.999…).
class LedgerAmountTest : public QObject {
    Q_OBJECT
private slots:
    void yuanBecomeTheNearestFen_data() {
        QTest::addColumn<double>("yuan");
        QTest::addColumn<qint64>("fen");
        QTest::newRow("2.30") << 2.30 << qint64(230);
        QTest::newRow("2.30 as a float") << double(2.30f) << qint64(230);
        QTest::newRow("-2.30") << -2.30 << qint64(-230);
        QTest::newRow("0.29") << 0.29 << qint64(29);
        QTest::newRow("19.99 as a float") << double(19.99f) << qint64(1999);
        QTest::newRow("9999.99 as a float") << double(9999.99f) << qint64(999999);
        QTest::newRow("a third of a fen") << 0.0033 << qint64(0);
        QTest::newRow("two thirds of a fen") << 0.0067 << qint64(1);
        QTest::newRow("zero") << 0.0 << qint64(0);
    }
    void yuanBecomeTheNearestFen() {
        QFETCH(double, yuan);
        QFETCH(qint64, fen);
        QCOMPARE(CLedgerInfo::Fen(yuan), fen);
    }

    // Written and added up by the day's cash: a day's price of 2.30 and a deposit held of 7.70
    // bring exactly 10.00 into the drawer; 2.30 handed back takes exactly that out.
    void writtenAmountsAddUpToTheFen() {
        TempShop shop;
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
        CLedgerInfo money;
        money.Day = u"2026-12-07"_s;
        money.OptUser = u"Admin"_s;
        money.FilmID = u"V1"_s;
        const float price = 2.30f;
        const float deposit = 10.0f - price;
        for (const auto& [kind, yuan] :
             {std::pair{CLedgerInfo::kDayPrice, price}, std::pair{CLedgerInfo::kDepositIn, deposit},
              std::pair{CLedgerInfo::kDepositOut, price}}) {
            money.Kind = kind;
            money.Amount = CLedgerInfo::Fen(yuan);
            QVERIFY(money.Insert());
        }
        qint64 in = 0;
        qint64 out = 0;
        QVERIFY(Ledger::DayCash(QDate(2026, 12, 7), QString(), &in, &out));
        QCOMPARE(in, qint64(1000));
        QCOMPARE(out, qint64(230));
        QCOMPARE(Db::Value(u"SELECT group_concat(Fen, ',') AS v FROM (SELECT * FROM Ledger ORDER BY ID)"_s),
                 u"230,770,230"_s);
    }
};
VORIX_TEST(LedgerAmountTest)
#include "tst_LedgerInfo.moc"
