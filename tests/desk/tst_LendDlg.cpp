#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/CAdoDb.h"
#include "desk/CLendDlg.h"
#include "ui_CLendDlg.h"

#include <sqlite3.h>

namespace {
// The lending form as the counter uses it: opened, filled in, "确定" pressed.
struct Lend {
    CLendDlg dlg;
    Lend() {
        dlg.show();
        dlg.OnInitDialog();
    }
    Ui::CLendDlg& f() { return *dlg.Form(); }
    void Daily() { f().typeCombo->setCurrentIndex(1); }
    void Fill(const QString& client, const QString& film, const QString& deposit = QString()) {
        f().clientEdit->clear();
        f().filmEdit->clear();
        TypeText(f().clientEdit, client);
        TypeText(f().filmEdit, film);
        if (!deposit.isNull()) {
            f().depositEdit->clear();
            TypeText(f().depositEdit, deposit);
        }
    }
    void Press() { QTest::mouseClick(f().okButton, Qt::LeftButton); }
    bool Lent() const { return dlg.IsEnded() && dlg.Result() == IDOK; }
};

QString OutRow(const QString& film) {
    return Db::Value(
        QStringLiteral("SELECT ClientID||'|'||Type||'|'||printf('%.2f',Foregift)||'|'||BorrowDate||'|'||"
                       "ReturnDate||'|'||OptUser AS v FROM Record WHERE ReturnDate='' AND FilmID='") +
        film + QStringLiteral("'"));
}
} // namespace

class LendDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheMonthlyPlanToday() {
        DeskShop shop(QStringLiteral("小王"), QStringLiteral("操作员"));
        Lend lend;
        QCOMPARE(lend.dlg.windowTitle(), QStringLiteral("影片借出"));
        QCOMPARE(lend.f().typeCombo->currentText(), QStringLiteral("月租"));
        QCOMPARE(lend.f().typeCombo->count(), 2);
        QCOMPARE(lend.f().typeCombo->itemText(1), QStringLiteral("零租"));
        QVERIFY(lend.f().clientEdit->isEnabled());
        QVERIFY(!lend.f().depositEdit->isEnabled());
        QCOMPARE(lend.f().depositEdit->text(), QStringLiteral("0"));
        QCOMPARE(lend.f().dateEdit->date(), QDate(2026, 12, 7));
        QCOMPARE(lend.f().operatorName->text(), QStringLiteral("小王"));
        QVERIFY(lend.f().okButton->isDefault());
        lend.Daily();
        QVERIFY(!lend.f().clientEdit->isEnabled());
        QVERIFY(lend.f().depositEdit->isEnabled());
        lend.f().typeCombo->setCurrentIndex(0);
        QVERIFY(lend.f().clientEdit->isEnabled());
        QVERIFY(!lend.f().depositEdit->isEnabled());
    }

    // The client and film rows are written back whole: every column but the charge and the
    // count must come back as it was.
    void monthlyLendingPaysFromTheBalance() {
        DeskShop shop(QStringLiteral("小王"), QStringLiteral("操作员"));
        QVERIFY(Db::Exec(QStringLiteral(
            "INSERT INTO Film (FilmID,FilmName,Playactor,Type,Class1,Class2,StgDate,Degree,Remark) "
            "VALUES('F9','卧虎藏龙','周润发','VCD','武侠片','香港','2025-03-04',7,'盒子有划痕')")));
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Client SET PhoneNum='13800001111',Remark='老客户'")));
        Lend lend;
        lend.Fill(QStringLiteral("C1"), QStringLiteral("F9"));
        lend.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(lend.Lent());
        QCOMPARE(Db::Value(QStringLiteral(
                     "SELECT ClientID||'|'||PhoneNum||'|'||CreateDate||'|'||"
                     "printf('%.2f',Foregift)||'|'||printf('%.2f',Balance)||'|'||Remark AS v FROM Client")),
                 QStringLiteral("C1|13800001111|2026-01-01|50.00|70.00|老客户"));
        QCOMPARE(
            Db::Value(QStringLiteral("SELECT FilmID||'|'||FilmName||'|'||Playactor||'|'||Type||'|'||Class1||"
                                     "'|'||Class2||'|'||StgDate||'|'||Degree||'|'||Remark AS v FROM Film "
                                     "WHERE FilmID='F9'")),
            QStringLiteral("F9|卧虎藏龙|周润发|VCD|武侠片|香港|2025-03-04|8|盒子有划痕"));
        QCOMPARE(OutRow(QStringLiteral("F9")), QStringLiteral("C1|月租|0.00|2026-12-07||小王"));
        QCOMPARE(Db::Count(QStringLiteral("Record")), 1);
    }

    // Another desk charges the same client while this lending reads the balance: both charges
    // stay, because the lending reads what it writes back under its write lock.
    void twoDesksLendingToOneClientBothCharge() {
        DeskShop shop;
        int clientReads = 0;
        EngineError::Code otherDesk = EngineError::Ok;
        CAdoDb::SetStatementObserver([&](const QString& sql) {
            if (sql.startsWith(QLatin1String("SELECT * FROM Client")) && ++clientReads == 2)
                otherDesk = ForeignExec("UPDATE Client SET Balance=Balance-40 WHERE ClientID='C1'");
        });
        Lend lend;
        lend.Fill(QStringLiteral("C1"), QStringLiteral("V1"));
        lend.Press();
        CAdoDb::SetStatementObserver(nullptr);
        QVERIFY(lend.Lent());
        if (otherDesk != EngineError::Ok) // it waited for the lending's lock, and now has its turn
            QCOMPARE(ForeignExec("UPDATE Client SET Balance=Balance-40 WHERE ClientID='C1'"),
                     EngineError::Ok);
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), QStringLiteral("30.00"));
    }

    // A read that fails is not a price of 0: the engine's message is the only box and nothing
    // is lent.
    void failedPriceReadLendsNothing() {
        DeskShop shop;
        QVERIFY(Db::Exec(QStringLiteral("ALTER TABLE Setting RENAME TO Gone")));
        const QString before = DeskShop::Snapshot();
        Lend lend;
        lend.Fill(QStringLiteral("C1"), QStringLiteral("V1"));
        lend.Press();
        QCOMPARE(shop.boxes.Texts(),
                 QStringList{EngineText("no such table: Setting", "relation \"setting\" does not exist")});
        QVERIFY(!lend.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
    }

    void onlyExactVcdPaysTheVcdPrice_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("balance");
        QTest::newRow("VCD") << "VCD"
                             << "70.00";
        QTest::newRow("DVD") << "DVD"
                             << "60.00";
        QTest::newRow("empty") << ""
                               << "60.00";
        QTest::newRow("lower case") << "vcd"
                                    << "60.00";
    }
    void onlyExactVcdPaysTheVcdPrice() {
        QFETCH(QString, type);
        QFETCH(QString, balance);
        DeskShop shop;
        DeskShop::AddFilm(QStringLiteral("X"), type, QStringLiteral("片"));
        Lend lend;
        lend.Fill(QStringLiteral("C1"), QStringLiteral("X"));
        lend.Press();
        QVERIFY(lend.Lent());
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), balance);
    }

    void balanceMustStayAboveZero() {
        DeskShop shop;
        DeskShop::AddClient(QStringLiteral("EVEN"), 30);
        DeskShop::AddClient(QStringLiteral("CENT"), 30.01);
        Lend lend;
        const QString before = DeskShop::Snapshot();
        lend.Fill(QStringLiteral("EVEN"), QStringLiteral("V1"));
        lend.Press();
        ExpectRefusal(shop.boxes, QStringLiteral("月租客户的余额不足,不能借出影片!"));
        QVERIFY(!lend.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
        shop.boxes.Clear();
        lend.Fill(QStringLiteral("CENT"), QStringLiteral("V1"));
        lend.Press();
        QVERIFY(lend.Lent());
        QCOMPARE(DeskShop::Balance(QStringLiteral("CENT")), QStringLiteral("0.01"));
    }

    void perDayLendingKeepsTheDepositNetOfOneDay_data() {
        QTest::addColumn<QString>("film");
        QTest::addColumn<QString>("deposit");
        QTest::addColumn<QString>("held");
        QTest::newRow("DVD 50") << "D1"
                                << "50"
                                << "45.00";
        QTest::newRow("VCD 0.01 goes negative") << "V1"
                                                << "0.01"
                                                << "-2.99";
        QTest::newRow("blanks") << "V1"
                                << " 5 "
                                << "2.00";
        QTest::newRow("exponent") << "D1"
                                  << "1e3"
                                  << "995.00";
        QTest::newRow("upper bound") << "D1"
                                     << "9999"
                                     << "9994.00";
    }
    void perDayLendingKeepsTheDepositNetOfOneDay() {
        QFETCH(QString, film);
        QFETCH(QString, deposit);
        QFETCH(QString, held);
        DeskShop shop;
        Lend lend;
        lend.Fill(QStringLiteral("C1"), QString(), QString());
        lend.Daily(); // the client number typed for a monthly attempt is ignored
        lend.Fill(QStringLiteral("C1"), film, deposit);
        lend.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(lend.Lent());
        QCOMPARE(OutRow(film), QStringLiteral("|零租|%1|2026-12-07||Admin").arg(held));
        QCOMPARE(DeskShop::Degree(film), 1);
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), QStringLiteral("100.00"));
    }

    void refusalsInTheirOrder_data() {
        QTest::addColumn<bool>("daily");
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("film");
        QTest::addColumn<QString>("deposit");
        QTest::addColumn<QString>("message");
        QTest::newRow("both empty") << false << ""
                                    << ""
                                    << ""
                                    << "未填写客户编号!";
        QTest::newRow("no film") << false << "C1"
                                 << ""
                                 << ""
                                 << "未填写影片编号!";
        QTest::newRow("unknown client before film") << false << "C9"
                                                    << "nothing"
                                                    << ""
                                                    << "客户编号错误!";
        QTest::newRow("quoted client") << false << "' OR ''='"
                                       << "V1"
                                       << ""
                                       << "客户编号错误!";
        QTest::newRow("wildcard client") << false << "%"
                                         << "V1"
                                         << ""
                                         << "客户编号错误!";
        QTest::newRow("client with blank") << false << "C1 "
                                           << "V1"
                                           << ""
                                           << "客户编号错误!";
        QTest::newRow("unknown film") << false << "C1"
                                      << "V9"
                                      << ""
                                      << "影片编号错误!";
        QTest::newRow("underscore film") << false << "C1"
                                         << "V_"
                                         << ""
                                         << "影片编号错误!";
        QTest::newRow("Chinese film") << false << "C1"
                                      << "英雄"
                                      << ""
                                      << "影片编号错误!";
        QTest::newRow("out before balance") << false << "POOR"
                                            << "OUT"
                                            << ""
                                            << "此影片已经借出,请选择其它影片!";
        QTest::newRow("daily no film") << true << ""
                                       << ""
                                       << "5"
                                       << "未填写影片编号!";
        QTest::newRow("daily no deposit") << true << ""
                                          << "V9"
                                          << "0"
                                          << "未填写押金!";
        QTest::newRow("daily unknown film") << true << ""
                                            << "V9"
                                            << "5"
                                            << "影片编号错误!";
        QTest::newRow("daily out") << true << ""
                                   << "OUT"
                                   << "5"
                                   << "此影片已经借出,请选择其它影片!";
        QTest::newRow("daily out other case") << true << ""
                                              << "out"
                                              << "5"
                                              << "此影片已经借出,请选择其它影片!";
    }
    void refusalsInTheirOrder() {
        QFETCH(bool, daily);
        QFETCH(QString, client);
        QFETCH(QString, film);
        QFETCH(QString, deposit);
        QFETCH(QString, message);
        DeskShop shop;
        DeskShop::AddClient(QStringLiteral("POOR"), 1);
        DeskShop::AddFilm(QStringLiteral("OUT"), QStringLiteral("VCD"), QStringLiteral("已借"));
        DeskShop::AddOutRental(QStringLiteral("OUT"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        const QString before = DeskShop::Snapshot();
        Lend lend;
        if (daily)
            lend.Daily();
        lend.Fill(client, film, daily ? deposit : QString());
        lend.Press();
        ExpectRefusal(shop.boxes, message);
        QVERIFY(!lend.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(lend.f().filmEdit->text(), film); // the entries stay as typed
    }

    void depositThatIsNoNumberWritesNothing_data() {
        QTest::addColumn<QString>("deposit");
        QTest::addColumn<QString>("prompt");
        const QString number = QStringLiteral("请输入一个数。");
        const QString range = QStringLiteral("请输入一个介于 0 和 9999 之间的数。");
        QTest::newRow("empty") << "" << number;
        QTest::newRow("yuan") << "5元" << number;
        QTest::newRow("nan") << "nan" << number;
        QTest::newRow("inf") << "inf" << number;
        QTest::newRow("negative") << "-0.01" << range;
        QTest::newRow("too much") << "9999.01" << range;
    }
    void depositThatIsNoNumberWritesNothing() {
        QFETCH(QString, deposit);
        QFETCH(QString, prompt);
        DeskShop shop;
        const QString before = DeskShop::Snapshot();
        Lend lend;
        lend.Daily();
        lend.Fill(QString(), QStringLiteral("V1"), deposit);
        lend.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{prompt});
        QVERIFY(!lend.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
    }

    void pickedDateIsStoredWithoutTime() {
        DeskShop shop;
        Lend lend;
        lend.f().dateEdit->setDate(QDate(2025, 2, 28));
        lend.Fill(QStringLiteral("C1"), QStringLiteral("D1"));
        lend.Press();
        QVERIFY(lend.Lent());
        QCOMPARE(OutRow(QStringLiteral("D1")), QStringLiteral("C1|月租|0.00|2025-02-28||Admin"));
    }

    void failedWriteLeavesEverythingAsBefore() {
        DeskShop shop;
        // The rental row, the last of the three writes, is refused by the database.
        QVERIFY(Db::FailOn("INSERT", "Record", "database or disk is full"));
        const QString before = DeskShop::Snapshot();
        Lend lend;
        lend.Fill(QStringLiteral("C1"), QStringLiteral("V1"));
        lend.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{QStringLiteral("database or disk is full")});
        QCOMPARE(shop.boxes.Boxes().first().caption, QStringLiteral("Vorix"));
        QVERIFY(!lend.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), QStringLiteral("100.00"));
    }

    void lockedDatabaseLeavesTheFormOpen() {
        DeskShop shop;
        const QString before = DeskShop::Snapshot();
        Lend lend;
        lend.Daily();
        lend.Fill(QString(), QStringLiteral("V1"), QStringLiteral("10"));
        {
            ForeignWriteLock other;
            lend.Press();
        }
        QCOMPARE(shop.boxes.Texts().size(), 1);
        ExpectDescribed(
            shop.boxes.Texts().first(), "数据库正被另一台电脑或另一个程序使用",
            EngineText("database is locked", "canceling statement due to lock timeout").toUtf8().constData());
        QVERIFY(!lend.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
        shop.boxes.Clear();
        lend.Press(); // once the other program lets go, the same entries lend the film
        QVERIFY(lend.Lent());
        QCOMPARE(OutRow(QStringLiteral("V1")), QStringLiteral("|零租|7.00|2026-12-07||Admin"));
    }

    void cancelWritesNothing() {
        DeskShop shop;
        const QString before = DeskShop::Snapshot();
        Lend lend;
        lend.Fill(QStringLiteral("C1"), QStringLiteral("V1"));
        QTest::mouseClick(lend.f().cancelButton, Qt::LeftButton);
        QVERIFY(lend.dlg.IsEnded());
        QCOMPARE(lend.dlg.Result(), int(IDCANCEL));
        QCOMPARE(DeskShop::Snapshot(), before);
    }

    void greyedOutDepositDoesNotBlockMonthlyLending() {
        DeskShop shop;
        Lend lend;
        lend.Daily();
        lend.Fill(QString(), QStringLiteral("V1"), QStringLiteral("5元"));
        lend.f().typeCombo->setCurrentIndex(0); // back to 月租: the bad deposit is greyed out
        lend.Fill(QStringLiteral("C1"), QStringLiteral("V1"));
        lend.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(lend.Lent());
        QCOMPARE(OutRow(QStringLiteral("V1")), QStringLiteral("C1|月租|0.00|2026-12-07||Admin"));
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), QStringLiteral("70.00"));
    }

    // The ledger's rows of a lending, per plan: the kind, the fen, the client, the film, the
    // rental and the lending's date. A price not exact in binary (2.30) counts to the fen.
    void lendingWritesItsLedgerRows_data() {
        QTest::addColumn<bool>("daily");
        QTest::addColumn<QString>("film");
        QTest::addColumn<QString>("deposit");
        QTest::addColumn<QString>("rows");
        QTest::newRow("monthly VCD at 2.30")
            << false << "V1" << QString() << "月租扣款|230|C1|V1|1|2026-12-07";
        QTest::newRow("monthly DVD") << false << "D1" << QString() << "月租扣款|4000|C1|D1|1|2026-12-07";
        QTest::newRow("per day VCD at 2.30") << true << "V1"
                                             << "10"
                                             << "零租租金|230||V1|1|2026-12-07,收押金|770||V1|1|2026-12-07";
        QTest::newRow("per day DVD") << true << "D1"
                                     << "50"
                                     << "零租租金|500||D1|1|2026-12-07,收押金|4500||D1|1|2026-12-07";
    }
    void lendingWritesItsLedgerRows() {
        QFETCH(bool, daily);
        QFETCH(QString, film);
        QFETCH(QString, deposit);
        QFETCH(QString, rows);
        DeskShop shop;
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Setting SET MonthVcd=2.3, DayVcd=2.3")));
        Lend lend;
        lend.Fill(QStringLiteral("C1"), film);
        if (daily) {
            lend.Daily(); // the client typed for the month is not the per-day rental's
            lend.Fill(QStringLiteral("C1"), film, deposit);
        }
        lend.Press();
        QVERIFY(lend.Lent());
        QCOMPARE(
            Db::Value(QStringLiteral("SELECT group_concat(Kind||'|'||Fen||'|'||ClientID||'|'||FilmID||'|'||"
                                     "RentID||'|'||Day, ',') AS v FROM (SELECT * FROM Ledger ORDER BY ID)")),
            rows);
    }
};
VORIX_TEST(LendDlgTest)
#include "tst_LendDlg.moc"
