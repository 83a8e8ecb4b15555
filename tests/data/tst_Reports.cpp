#include "Shop.h"
#include "TestRegistry.h"

#include "data/CLedgerInfo.h"
#include "data/Reports.h"

#include <QMap>
#include <QTest>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
const QStringList kOperators{u"Admin"_s, u"小王"_s, u"小李"_s};

// One row of the generated ledger.
struct Row {
    QDateTime at;
    QString optUser;
    QString kind;
    qint64 fen;
};

// Every row of a statement, each cell as the engine gives it.
QList<QStringList> Table(const QString& sql) {
    QList<QStringList> rows;
    const QString text = Db::Rows(sql, QChar(0x1f), QChar(0x1e));
    if (text.isEmpty())
        return rows;
    for (const QString& row : text.split(QChar(0x1e)))
        rows << row.split(QChar(0x1f));
    return rows;
}

qint64 Fen(const QString& yuan) {
    return std::llround(yuan.toDouble() * 100);
}

// A ledger of some fourteen months, a few rows a day of every kind and operator, some days none,
// amounts of either sign, times at the very ends of days; the same every run.
QList<Row> Generate() {
    QList<Row> rows;
    quint32 seed = 20261130;
    const auto next = [&seed](int below) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % quint32(below));
    };
    const QStringList kinds = CLedgerInfo::Kinds();
    for (QDate day(2025, 12, 20); day <= QDate(2027, 1, 10); day = day.addDays(1)) {
        const int count = next(7) - 2; // none on about a third of the days
        for (int i = 0; i < count; ++i) {
            const int second = i == 0 ? 0 : i == 1 ? 86399 : next(86400);
            rows.append({QDateTime(day, QTime(0, 0).addSecs(second)), kOperators.at(next(3)),
                         kinds.at(next(int(kinds.size()))), qint64(next(9000)) - 1000});
        }
    }
    return rows;
}

void Write(const QList<Row>& rows) {
    QStringList values;
    for (const Row& row : rows)
        values << u"('%1','%2','%3','%4',%5)"_s
                      .arg(row.at.toString(u"yyyy-MM-dd HH:mm:ss"_s), row.at.date().toString(u"yyyy-MM-dd"_s),
                           row.optUser, row.kind)
                      .arg(row.fen);
    for (qsizetype i = 0; i < values.size(); i += 200)
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen) VALUES "_s +
                         values.mid(i, 200).join(u',')));
}

// The sums a period should show, added up here from the rows themselves.
struct Sums {
    QMap<QString, qint64> kinds;
    qint64 in = 0;
    qint64 out = 0;
    QSet<QString> days;
};

Sums Expected(const QList<Row>& rows, const QDate& from, const QDate& to, const QString& optUser = {}) {
    Sums sums;
    for (const Row& row : rows) {
        if (row.at.date() < from || row.at.date() > to || (!optUser.isEmpty() && row.optUser != optUser))
            continue;
        sums.kinds[row.kind] += row.fen;
        const qint64 cash = CLedgerInfo::CashFen(row.kind, row.fen);
        (cash > 0 ? sums.in : sums.out) += std::abs(cash);
        sums.days << row.at.date().toString(u"yyyy-MM-dd"_s);
    }
    return sums;
}

// The takings' columns: the period, the kinds, in, out, net, the order.
void CompareTotals(const QStringList& total, const Sums& sums) {
    const QStringList kinds = CLedgerInfo::Kinds();
    QCOMPARE(total.size(), kinds.size() + 5);
    for (int k = 0; k < kinds.size(); ++k)
        QCOMPARE(Fen(total.at(k + 1)), sums.kinds.value(kinds.at(k)));
    QCOMPARE(Fen(total.at(kinds.size() + 1)), sums.in);
    QCOMPARE(Fen(total.at(kinds.size() + 2)), sums.out);
    QCOMPARE(Fen(total.at(kinds.size() + 3)), sums.in - sums.out);
}
} // namespace

// The reports' statements on a generated shop whose sums the test adds up itself.
class ReportsTest : public QObject {
    Q_OBJECT
private slots:
    void takingsOfAPeriod_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("optUser");
        QTest::newRow("inside a month") << QDate(2026, 3, 5) << QDate(2026, 3, 19) << QString();
        QTest::newRow("across a month's end") << QDate(2026, 4, 27) << QDate(2026, 5, 4) << QString();
        QTest::newRow("across a year's end") << QDate(2026, 12, 29) << QDate(2027, 1, 2) << QString();
        QTest::newRow("a year") << QDate(2026, 1, 1) << QDate(2026, 12, 31) << QString();
        QTest::newRow("one day") << QDate(2026, 2, 28) << QDate(2026, 2, 28) << QString();
        QTest::newRow("empty") << QDate(2024, 6, 1) << QDate(2024, 6, 30) << QString();
        QTest::newRow("one operator's month") << QDate(2026, 6, 1) << QDate(2026, 6, 30) << u"小王"_s;
    }
    // By day, week and month, the last row is the period's total, which the groups add up to; the
    // days, weeks and months are those of the period that had rows.
    void takingsOfAPeriod() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, optUser);
        TempShop shop;
        const QList<Row> rows = Generate();
        Write(rows);
        const Sums sums = Expected(rows, from, to, optUser);
        for (const Reports::Step step : {Reports::Step::Day, Reports::Step::Week, Reports::Step::Month}) {
            const QList<QStringList> table = Table(Reports::Takings(from, to, step, optUser));
            QVERIFY(!table.isEmpty());
            QCOMPARE(table.last().first(), u"合计"_s);
            CompareTotals(table.last(), sums);
            // Every column of the groups adds up to the total.
            for (int column = 1; column < table.last().size() - 1; ++column) {
                qint64 sum = 0;
                for (int r = 0; r + 1 < table.size(); ++r)
                    sum += Fen(table.at(r).at(column));
                QCOMPARE(sum, Fen(table.last().at(column)));
            }
            QSet<QString> groups;
            for (const QString& day : sums.days) {
                const QDate date = QDate::fromString(day, Qt::ISODate);
                groups
                    << (step == Reports::Step::Day ? day
                        : step == Reports::Step::Month
                            ? day.left(7)
                            : std::max(from, date.addDays(1 - date.dayOfWeek())).toString(u"yyyy-MM-dd"_s));
            }
            QStringList shown;
            for (int r = 0; r + 1 < table.size(); ++r)
                shown << table.at(r).first();
            QStringList wanted(groups.cbegin(), groups.cend());
            wanted.sort();
            QCOMPARE(shown, wanted);
        }
    }

    // Whatever the period, its takings are the sum of the 日结 of its days, to the fen.
    void takingsAreTheSumOfTheDaysCash() {
        TempShop shop;
        Write(Generate());
        for (const QString& optUser : {QString(), u"小李"_s}) {
            const QDate from(2026, 1, 25);
            const QDate to(2026, 3, 3);
            qint64 in = 0;
            qint64 out = 0;
            for (QDate day = from; day <= to; day = day.addDays(1)) {
                qint64 dayIn = 0;
                qint64 dayOut = 0;
                QVERIFY(Ledger::DayCash(day, optUser, &dayIn, &dayOut));
                in += dayIn;
                out += dayOut;
            }
            QVERIFY(in > 0 && out > 0);
            const QStringList total = Table(Reports::Takings(from, to, Reports::Step::Week, optUser)).last();
            const int kinds = int(CLedgerInfo::Kinds().size());
            QCOMPARE(Fen(total.at(kinds + 1)), in);
            QCOMPARE(Fen(total.at(kinds + 2)), out);
            QCOMPARE(Fen(total.at(kinds + 3)), in - out);
        }
    }

    // A kind the program does not know (a later program's) is no cash and no column, and changes
    // none of the sums.
    void unknownKindsChangeNoSum() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen) VALUES "
                         "('2026-05-01 10:00:00','2026-05-01','Admin','零租租金',300),"
                         "('2026-05-01 11:00:00','2026-05-01','Admin','某种新款项',9900)"_s));
        const QStringList total =
            Table(Reports::Takings(QDate(2026, 5, 1), QDate(2026, 5, 31), Reports::Step::Month, {})).last();
        const int kinds = int(CLedgerInfo::Kinds().size());
        QCOMPARE(Fen(total.at(kinds + 3)), qint64(300));
    }

    // Per title, all its discs together: what it was lent and earned in the period, charges to a
    // balance counted, deposits held, waivers and price changes not; its discs in stock; the most
    // money first.
    void titlesThatEarn() {
        TempShop shop;
        QVERIFY(Db::Exec(
            u"INSERT INTO Film (FilmID, FilmName, Type) VALUES ('F1','英雄','DVD'),"
            "('F2','英雄','VCD'),('F3','无间道','DVD'),('F4','英雄','DVD'),('F5','大话西游','DVD')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,FilmID,ClientID) VALUES "
                         "('2026-11-02 10:00:00','2026-11-02','Admin','零租租金',300,'F1',''),"
                         "('2026-11-02 10:00:00','2026-11-02','Admin','收押金',700,'F1',''),"
                         "('2026-11-04 10:00:00','2026-11-04','Admin','退押金',700,'F1',''),"
                         "('2026-11-05 10:00:00','2026-11-05','小王','月租扣款',3000,'F2','C1'),"
                         "('2026-11-06 10:00:00','2026-11-06','小王','零租租金',500,'f3',''),"
                         "('2026-11-07 10:00:00','2026-11-07','Admin','超期扣款',4000,'F2','C1'),"
                         "('2026-11-07 10:00:00','2026-11-07','Admin','减免',1000,'F2','C1'),"
                         "('2026-11-07 10:00:00','2026-11-07','Admin','改价',0,'F2',''),"
                         "('2026-11-30 23:59:59','2026-11-30','Admin','零租租金',500,'F3',''),"
                         "('2026-12-01 00:00:00','2026-12-01','Admin','零租租金',9900,'F5',''),"
                         "('2026-10-31 23:59:59','2026-10-31','Admin','零租租金',9900,'F5','')"_s));
        const QDate from(2026, 11, 1);
        const QDate to(2026, 11, 30);
        const QList<QStringList> titles = Table(Reports::Titles(from, to, {}));
        QCOMPARE(titles.size(), 2);
        QCOMPARE(titles.at(0).mid(0, 2), (QStringList{u"英雄"_s, u"2"_s}));
        QCOMPARE(Fen(titles.at(0).at(2)), qint64(7300));
        QCOMPARE(titles.at(0).at(3), u"3"_s);
        QCOMPARE(titles.at(1).mid(0, 2), (QStringList{u"无间道"_s, u"2"_s}));
        QCOMPARE(Fen(titles.at(1).at(2)), qint64(1000));
        QCOMPARE(titles.at(1).at(3), u"1"_s);
        const QList<QStringList> own = Table(Reports::Titles(from, to, u"小王"_s));
        QCOMPARE(own.size(), 2);
        QCOMPARE(own.at(0).mid(0, 2), (QStringList{u"英雄"_s, u"1"_s}));
        QCOMPARE(Fen(own.at(1).at(2)), qint64(500));
        QCOMPARE(Table(Reports::Titles(QDate(2026, 6, 1), QDate(2026, 6, 30), {})), QList<QStringList>());
        // A long period reads the ledger by disc rather than by time, with the same sums: its own
        // rows, or (nearly all the ledger in it, as here) each disc's rows of all time less those
        // outside it.
        const QList<QStringList> autumn = Table(Reports::Titles(QDate(2026, 8, 1), to, {}));
        QCOMPARE(autumn.size(), 3);
        QCOMPARE(autumn.at(0).mid(0, 2), (QStringList{u"大话西游"_s, u"1"_s}));
        QCOMPARE(Fen(autumn.at(0).at(2)), qint64(9900));
        QCOMPARE(autumn.mid(1), titles);
        QCOMPARE(Table(Reports::Titles(QDate(2026, 8, 1), to, u"小王"_s)), own);
        const QList<QStringList> year = Table(Reports::Titles(QDate(2026, 1, 1), QDate(2026, 12, 31), {}));
        QCOMPARE(year.size(), 3);
        QCOMPARE(year.at(0).mid(0, 2), (QStringList{u"大话西游"_s, u"2"_s}));
        QCOMPARE(Fen(year.at(0).at(2)), qint64(19800));
        QCOMPARE(year.mid(1), titles);
        // Half the ledger outside: the period's own rows.
        const QList<QStringList> early = Table(Reports::Titles(QDate(2026, 8, 1), QDate(2026, 11, 5), {}));
        QCOMPARE(early.size(), 2);
        QCOMPARE(early.at(0).mid(0, 2), (QStringList{u"大话西游"_s, u"1"_s}));
        QCOMPARE(early.at(1).mid(0, 2), (QStringList{u"英雄"_s, u"2"_s}));
        QCOMPARE(Fen(early.at(1).at(2)), qint64(3300));
    }

    // Discs on the shelf not lent in the last N days, or never, the never lent first; a disc out
    // and one stocked within the days are not idle. Lendings after the day asked about do not
    // count, however many (F2 once, F7 and F8 twice, F8 lent within the days too).
    void idleStock() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID, FilmName, Type, StgDate) VALUES "
                         "('F1','英雄','DVD','2025-01-01'),('F2','无间道','VCD','2025-01-01'),"
                         "('F3','大话西游','DVD','2025-01-01'),('F4','新片','DVD','2026-11-25'),"
                         "('F5','借走了','DVD','2025-01-01'),('F6','刚好九十天','VCD','2025-06-01'),"
                         "('F7','两次以后','DVD','2025-01-01'),('F8','期间借过','DVD','2025-01-01')"_s));
        QVERIFY(
            Db::Exec(u"INSERT INTO Record (ClientID, FilmID, Type, BorrowDate, ReturnDate) VALUES "
                     "('','F1','零租','2026-11-20','2026-11-21'),('','F2','零租','2026-05-01','2026-05-02'),"
                     "('','F5','零租','2026-03-01',''),('','F6','零租','2026-09-01','2026-09-02'),"
                     "('','F2','零租','2026-12-05','2026-12-06'),('','F7','零租','2026-12-01','2026-12-02'),"
                     "('','F7','零租','2026-12-03','2026-12-04'),('','F7','零租','2026-04-01','2026-04-02'),"
                     "('','F8','零租','2026-12-01','2026-12-02'),('','F8','零租','2026-12-03','2026-12-04'),"
                     "('','F8','零租','2026-11-01','2026-11-02')"_s));
        const QList<QStringList> idle = Table(Reports::IdleStock(QDate(2026, 11, 30), 90));
        QCOMPARE(idle, (QList<QStringList>{
                           {u"F3"_s, u"大话西游"_s, u"DVD"_s, u"2025-01-01"_s, QString(), u"698"_s},
                           {u"F7"_s, u"两次以后"_s, u"DVD"_s, u"2025-01-01"_s, u"2026-04-01"_s, u"243"_s},
                           {u"F2"_s, u"无间道"_s, u"VCD"_s, u"2025-01-01"_s, u"2026-05-01"_s, u"213"_s},
                           {u"F6"_s, u"刚好九十天"_s, u"VCD"_s, u"2025-06-01"_s, u"2026-09-01"_s, u"90"_s}}));
        QCOMPARE(Table(Reports::IdleStock(QDate(2026, 11, 30), 91)).size(), 3);
    }

    // Customers by the money they spent on rentals in the period; and those who have not come for
    // N days, with their phone and balance, the longest away first (a lending after the day asked
    // about does not count).
    void customers() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID, PhoneNum, CreateDate, Balance, Foregift) VALUES "
                         "('C1','13800000001','2026-01-01',12.5,100),('C2','13800000002','2026-01-01',0,50),"
                         "('C3','13800000003','2026-01-01',-3,0),('C4','13800000004','2026-11-01',7,0)"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,FilmID,ClientID) VALUES "
                         "('2026-11-05 10:00:00','2026-11-05','Admin','月租扣款',3000,'F1','C1'),"
                         "('2026-11-06 10:00:00','2026-11-06','Admin','月租扣款',3000,'F2','c1'),"
                         "('2026-11-07 10:00:00','2026-11-07','Admin','月租扣款',4000,'F3','C2'),"
                         "('2026-11-07 11:00:00','2026-11-07','Admin','充值',50000,'','C2'),"
                         "('2026-12-07 11:00:00','2026-12-07','Admin','月租扣款',90000,'F3','C3')"_s));
        const QList<QStringList> top =
            Table(Reports::TopCustomers(QDate(2026, 11, 1), QDate(2026, 11, 30), {}));
        QCOMPARE(top.size(), 2);
        QCOMPARE(top.at(0).mid(0, 3), (QStringList{u"C1"_s, u"13800000001"_s, u"2"_s}));
        QCOMPARE(Fen(top.at(0).at(3)), qint64(6000));
        QCOMPARE(Fen(top.at(0).at(4)), qint64(1250));
        QCOMPARE(top.at(1).first(), u"C2"_s);
        QCOMPARE(Fen(top.at(1).at(3)), qint64(4000));
        // A long period reads the ledger by customer rather than by time, with the same sums.
        QCOMPARE(Table(Reports::TopCustomers(QDate(2026, 1, 1), QDate(2026, 11, 30), {})), top);

        QVERIFY(Db::Exec(
            u"INSERT INTO Record (ClientID, FilmID, Type, BorrowDate, ReturnDate) VALUES "
            "('C1','F1','月租','2026-11-20','2026-11-21'),('C2','F2','月租','2026-06-01','2026-06-02'),"
            "('C4','F2','月租','2026-11-02',''),('C2','F1','月租','2026-12-03','2026-12-04')"_s));
        const QList<QStringList> away = Table(Reports::DormantCustomers(QDate(2026, 11, 30), 90));
        QCOMPARE(away.size(), 2);
        QCOMPARE(away.at(0).first(), u"C3"_s);
        QCOMPARE(away.at(0).at(4), QString());
        QCOMPARE(away.at(0).at(5), u"333"_s);
        QCOMPARE(away.at(1).first(), u"C2"_s);
        QCOMPARE(away.at(1).at(1), u"13800000002"_s);
        QCOMPARE(Fen(away.at(1).at(3)), qint64(5000));
        QCOMPARE(away.at(1).mid(4), (QStringList{u"2026-06-01"_s, u"182"_s}));
    }

    // Per operator: his lendings, returns and exchanges in the period, and the cash he took.
    void counterStaff() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen,FilmID,ClientID) VALUES "
                         "('2026-11-02 10:00:00','2026-11-02','小王','零租租金',300,'F1',''),"
                         "('2026-11-02 10:00:00','2026-11-02','小王','收押金',700,'F1',''),"
                         "('2026-11-03 10:00:00','2026-11-03','小王','月租扣款',3000,'F2','C1'),"
                         "('2026-11-04 10:00:00','2026-11-04','Admin','退押金',700,'F1',''),"
                         "('2026-11-04 11:00:00','2026-11-04','Admin','充值',5000,'','C1'),"
                         "('2026-12-01 00:00:00','2026-12-01','Admin','充值',99900,'','C1')"_s));
        QVERIFY(
            Db::Exec(u"INSERT INTO Record (ClientID, FilmID, Type, BorrowDate, ReturnDate, OptUser) VALUES "
                     "('','F1','零租','2026-11-02','2026-11-04','Admin'),"
                     "('C1','F2','月租','2026-11-03','2026-11-30','小王'),"
                     "('C1','F3','月租','2026-10-03','2026-10-30','小王')"_s));
        // Exchanges are counted from the trail, on the days of the period only.
        QVERIFY(Db::Exec(
            u"INSERT INTO AuditTrail (At,OptUser,Kind,ItemKey) VALUES "
            "('2026-11-30 23:59:59','小王','更换','F2'),('2026-11-05 09:00:00','小王','更换','F4'),"
            "('2026-12-01 00:00:00','小王','更换','F5'),('2026-11-05 09:00:00','Admin','备份','')"_s));
        const QList<QStringList> staff = Table(Reports::Staff(QDate(2026, 11, 1), QDate(2026, 11, 30), {}));
        QCOMPARE(staff.size(), 2);
        QCOMPARE(staff.at(0).mid(0, 4), (QStringList{u"Admin"_s, u"0"_s, u"1"_s, u"0"_s}));
        QCOMPARE(Fen(staff.at(0).at(4)), qint64(5000));
        QCOMPARE(Fen(staff.at(0).at(5)), qint64(700));
        QCOMPARE(Fen(staff.at(0).at(6)), qint64(4300));
        QCOMPARE(staff.at(1).mid(0, 4), (QStringList{u"小王"_s, u"2"_s, u"1"_s, u"2"_s}));
        QCOMPARE(Fen(staff.at(1).at(4)), qint64(1000));
        QCOMPARE(Fen(staff.at(1).at(6)), qint64(1000));
        QCOMPARE(Table(Reports::Staff(QDate(2026, 11, 1), QDate(2026, 11, 30), u"Admin"_s)).size(), 1);
    }

    // Text of a name is carried as typed, and the quote of a hostile one changes no condition.
    void hostileOperatorName() {
        TempShop shop;
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen) VALUES "
                         "('2026-11-02 10:00:00','2026-11-02','O''Brien','零租租金',300),"
                         "('2026-11-02 10:00:00','2026-11-02','Admin','零租租金',500)"_s));
        const QDate day(2026, 11, 2);
        const int kinds = int(CLedgerInfo::Kinds().size());
        QCOMPARE(
            Fen(Table(Reports::Takings(day, day, Reports::Step::Day, u"O'Brien"_s)).last().at(kinds + 3)),
            qint64(300));
        QCOMPARE(
            Fen(Table(Reports::Takings(day, day, Reports::Step::Day, u"x' OR ''='"_s)).last().at(kinds + 3)),
            qint64(0));
        QCOMPARE(Table(Reports::Staff(day, day, u"O'Brien"_s)).size(), 1);
    }
};
VORIX_TEST(ReportsTest)

#include "tst_Reports.moc"
