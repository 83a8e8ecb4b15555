#include "Shop.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "data/CSettingInfo.h"

#include <QTest>

namespace {
CSettingInfo Prices(float monthVcd, float monthDvd, float dayVcd, float dayDvd) {
    CSettingInfo prices;
    prices.MonthVcd = monthVcd;
    prices.MonthDvd = monthDvd;
    prices.DayVcd = dayVcd;
    prices.DayDvd = dayDvd;
    return prices;
}

QString Rows() {
    // In the order the rows were written: the file's rowid; the server's table as it lies.
    return Db::Rows(QStringLiteral("SELECT MonthVcd, MonthDvd, DayVcd, DayDvd FROM Setting") +
                        EngineText(" ORDER BY rowid", ""),
                    QLatin1Char(','), QLatin1Char(' '));
}
} // namespace

class SettingInfoTest : public QObject {
    Q_OBJECT
private slots:
    void statementTexts() {
        TempShop shop;
        BoxRecorder boxes;
        StatementRecorder sql;
        CSettingInfo prices = Prices(3, 5, 0.5f, 1);
        prices.Update();
        prices.Load();
        QCOMPARE(sql.Statements(),
                 QStringList({QStringLiteral("UPDATE Setting SET MonthVcd=3.000000,MonthDvd=5.000000, "
                                             "DayVcd=0.500000, DayDvd=1.000000"),
                              QStringLiteral("SELECT * FROM Setting")}));
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void loadsThePreparedPrices() {
        TempShop shop;
        CSettingInfo prices;
        prices.Load();
        QCOMPARE(prices.MonthVcd, 30.0f);
        QCOMPARE(prices.MonthDvd, 40.0f);
        QCOMPARE(prices.DayVcd, 3.0f);
        QCOMPARE(prices.DayDvd, 5.0f);
    }

    void updateThenLoadGivesTheSamePrices() {
        TempShop shop;
        BoxRecorder boxes;
        StatementRecorder sql;
        QVERIFY(Prices(12.345678f, 0.1f, 12.5f, 9999).Update());
        QCOMPARE(sql.Statements().first(),
                 QStringLiteral("UPDATE Setting SET MonthVcd=12.345678,MonthDvd=0.100000, "
                                "DayVcd=12.500000, DayDvd=9999.000000"));
        CSettingInfo read;
        read.Load();
        QCOMPARE(read.MonthVcd, 12.345678f);
        QCOMPARE(read.MonthDvd, 0.1f);
        QCOMPARE(read.DayVcd, 12.5f);
        QCOMPARE(read.DayDvd, 9999.0f);
        QCOMPARE(Db::Count(QStringLiteral("Setting")), 1);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void severalRowsAllSetFirstRead() {
        TempShop shop;
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Setting VALUES (1, 2, 3, 4)")));
        CSettingInfo read;
        read.Load();
        QCOMPARE(read.MonthVcd, 30.0f);
        QCOMPARE(read.DayDvd, 5.0f);
        QVERIFY(Prices(6, 7, 8, 9).Update());
        QCOMPARE(Rows(), QStringLiteral("6.0,7.0,8.0,9.0 6.0,7.0,8.0,9.0"));
    }

    void emptyTableLeavesTheRecord() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Setting")));
        CSettingInfo fresh;
        fresh.Load();
        QCOMPARE(fresh.MonthVcd, 0.0f);
        QCOMPARE(fresh.DayDvd, 0.0f);
        CSettingInfo kept = Prices(1, 2, 3, 4);
        kept.Load();
        QCOMPARE(kept.MonthVcd, 1.0f);
        QCOMPARE(kept.MonthDvd, 2.0f);
        QCOMPARE(kept.DayVcd, 3.0f);
        QCOMPARE(kept.DayDvd, 4.0f);
        QVERIFY(kept.Update()); // accepted; there is no row to set
        QCOMPARE(Db::Count(QStringLiteral("Setting")), 0);
        QCOMPARE(boxes.Boxes().size(), 0);
    }

    void textThatIsNoNumberReadsAsZero() {
        VORIX_FILE_ONLY(); // the server takes no text for a number
        TempShop shop;
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Setting SET MonthVcd='abc', DayDvd='7.5 元'")));
        CSettingInfo read = Prices(1, 1, 1, 1);
        read.Load();
        QCOMPARE(read.MonthVcd, 0.0f);
        QCOMPARE(read.MonthDvd, 40.0f);
        QCOMPARE(read.DayDvd, 7.5f);
    }

    void rejectedStatementReportsFailure() {
        TempShop shop;
        BoxRecorder boxes;
        QVERIFY(Db::Exec(QStringLiteral("DROP TABLE Setting")));
        CSettingInfo prices = Prices(1, 2, 3, 4);
        QVERIFY(!prices.Update());
        prices.Load();
        QCOMPARE(prices.MonthVcd, 1.0f);
        QCOMPARE(boxes.Texts(),
                 QStringList(2, EngineText("no such table: Setting", "relation \"setting\" does not exist")));
    }
};
VORIX_TEST(SettingInfoTest)
#include "tst_SettingInfo.moc"
