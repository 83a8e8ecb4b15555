#include "DeskFixture.h"
#include "TestRegistry.h"

#include "desk/CExchangeDlg.h"
#include "desk/CReturnDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CReturnDlg.h"

namespace {
QString Row(const QString& where) {
    return Db::Value(
        QStringLiteral("SELECT FilmID||'|'||ClientID||'|'||Type||'|'||printf('%.2f',Foregift)||'|'||"
                       "BorrowDate||'|'||ReturnDate||'|'||OptUser AS v FROM Record WHERE ") +
        where);
}

template <typename Dlg> struct Opened {
    Dlg dlg;
    Opened() {
        dlg.show();
        dlg.OnInitDialog();
    }
    void Press() { QTest::mouseClick(dlg.Form()->okButton, Qt::LeftButton); }
    bool Done() const { return dlg.IsEnded() && dlg.Result() == IDOK; }
};

struct ReturnScreen : Opened<CReturnDlg> {
    void Film(const QString& code) {
        dlg.Form()->filmEdit->clear();
        TypeText(dlg.Form()->filmEdit, code);
    }
};

struct ExchangeScreen : Opened<CExchangeDlg> {
    void Films(const QString& oldCode, const QString& newCode) {
        dlg.Form()->oldFilmEdit->clear();
        dlg.Form()->newFilmEdit->clear();
        TypeText(dlg.Form()->oldFilmEdit, oldCode);
        TypeText(dlg.Form()->newFilmEdit, newCode);
    }
};
} // namespace

class ReturnDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithTodayAndTheOperator() {
        DeskShop shop(QStringLiteral("小李"), QStringLiteral("操作员"));
        ReturnScreen ret;
        QCOMPARE(ret.dlg.windowTitle(), QStringLiteral("影片还回"));
        QCOMPARE(ret.dlg.Form()->dateEdit->date(), QDate(2026, 12, 7));
        QCOMPARE(ret.dlg.Form()->operatorName->text(), QStringLiteral("小李"));
        QCOMPARE(ret.dlg.Form()->okButton->text(), QStringLiteral("还回"));
        QVERIFY(ret.dlg.Form()->okButton->isDefault());
    }

    void monthlyReturnConfirmsAndCloses() {
        DeskShop shop(QStringLiteral("小李"), QStringLiteral("操作员"));
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        ReturnScreen ret;
        ret.Film(QStringLiteral("V1"));
        ret.Press();
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        ExpectQuestion(shop.boxes.Boxes().first(),
                       QStringLiteral("租借类型:  月租\n客户编号:  C1\n影片编号:  V1\n影片名字:  "
                                      "英雄\n\n以上信息是否正确,请确认?"));
        QVERIFY(ret.Done());
        QCOMPARE(Row(QStringLiteral("FilmID='V1'")),
                 QStringLiteral("V1|C1|月租|0.00|2026-12-01|2026-12-07|小李"));
    }

    void perDayReturnShowsTheDepositHeld_data() {
        QTest::addColumn<double>("deposit");
        QTest::addColumn<QString>("shown");
        QTest::newRow("45") << 45.0 << "45.00";
        QTest::newRow("negative") << -2.99 << "-2.99";
        QTest::newRow("rounded for display") << 12.345 << "12.35";
    }
    void perDayReturnShowsTheDepositHeld() {
        QFETCH(double, deposit);
        QFETCH(QString, shown);
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("D1"), QString(), QStringLiteral("零租"), deposit);
        const QString stored = Db::Value(QStringLiteral("SELECT Foregift AS v FROM Record"));
        ReturnScreen ret;
        ret.Film(QStringLiteral("d1")); // the number in another letter case finds the film
        ret.Press();
        ExpectQuestion(shop.boxes.Boxes().first(),
                       QStringLiteral("租借类型:  零租\n影片编号:  D1\n影片名字:  无间道\n押金找回:  %1 "
                                      "元\n\n以上信息是否正确,请确认?")
                           .arg(shown));
        QVERIFY(ret.Done());
        QCOMPARE(Db::Value(QStringLiteral("SELECT Foregift AS v FROM Record")), stored);
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ReturnDate=''")), 0);
    }

    void answeringNoWritesNothing() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        const QString before = DeskShop::Snapshot();
        shop.boxes.Answer(IDNO);
        ReturnScreen ret;
        ret.Film(QStringLiteral("V1"));
        ret.Press();
        QVERIFY(!ret.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
    }

    void refusals_data() {
        QTest::addColumn<QString>("film");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << ""
                               << "未填写影片编号!";
        QTest::newRow("unknown") << "X9"
                                 << "影片编号错误,影片库中未包含此编号!";
        QTest::newRow("quote") << "V1' OR ''='"
                               << "影片编号错误,影片库中未包含此编号!";
        QTest::newRow("not out") << "D1"
                                 << "影片编号错误,此影片未借出!";
    }
    void refusals() {
        QFETCH(QString, film);
        QFETCH(QString, message);
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        const QString before = DeskShop::Snapshot();
        ReturnScreen ret;
        ret.Film(film);
        ret.Press();
        ExpectRefusal(shop.boxes, message);
        QVERIFY(!ret.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
    }

    void returningTwiceIsRefused() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        ReturnScreen first;
        first.Film(QStringLiteral("V1"));
        first.Press();
        QVERIFY(first.Done());
        shop.boxes.Clear();
        ReturnScreen second;
        second.Film(QStringLiteral("V1"));
        second.Press();
        ExpectRefusal(shop.boxes, QStringLiteral("影片编号错误,此影片未借出!"));
    }

    void earlierDateIsStoredAsPicked() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        ReturnScreen ret;
        ret.dlg.Form()->dateEdit->setDate(QDate(2026, 11, 30));
        ret.Film(QStringLiteral("V1"));
        ret.Press();
        QVERIFY(ret.Done());
        QCOMPARE(Db::Value(QStringLiteral("SELECT ReturnDate AS v FROM Record")),
                 QStringLiteral("2026-11-30"));
    }

    // While the confirmation waits, another counter moves the rental to another film: the
    // return must not write the old film back over it.
    void exchangedMeanwhileIsRefused() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        const QString moved = QStringLiteral("D1|C1|月租|0.00|2026-12-01||b");
        ReturnScreen ret;
        ret.Film(QStringLiteral("V1"));
        shop.boxes.WhileNextBoxIsUp(
            [] { QVERIFY(Db::Exec(QStringLiteral("UPDATE Record SET FilmID='D1',OptUser='b'"))); });
        ret.Press();
        QCOMPARE(shop.boxes.Texts().last(), QStringLiteral("影片编号错误,此影片未借出!"));
        QVERIFY(!ret.dlg.IsEnded());
        QCOMPARE(Row(QStringLiteral("1=1")), moved);
    }

    void failedUpdateKeepsTheFormOpen() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        QVERIFY(Db::FailOn("UPDATE", "Record", "disk I/O error"));
        ReturnScreen ret;
        ret.Film(QStringLiteral("V1"));
        ret.Press();
        QCOMPARE(shop.boxes.Texts().last(), QStringLiteral("disk I/O error")); // the trigger's own text
        QVERIFY(!ret.dlg.IsEnded());
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ReturnDate=''")), 1);
    }

    // The ledger's rows of a return, per plan: a monthly one moves no money; a per-day one hands
    // back the deposit held, to the fen (7.70 and -2.30 are not exact in binary).
    void returnWritesItsLedgerRows_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("deposit");
        QTest::addColumn<QString>("rows");
        QTest::newRow("monthly") << "月租" << 0.0 << QString();
        QTest::newRow("per day") << "零租" << 7.7 << "退押金|770||V1|1|2026-12-07";
        QTest::newRow("per day, deposit below the price") << "零租" << -2.3 << "退押金|-230||V1|1|2026-12-07";
    }
    void returnWritesItsLedgerRows() {
        QFETCH(QString, type);
        QFETCH(double, deposit);
        QFETCH(QString, rows);
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"),
                               type == QStringLiteral("月租") ? QStringLiteral("C1") : QString(), type,
                               deposit);
        ReturnScreen ret;
        ret.Film(QStringLiteral("V1"));
        ret.Press();
        QVERIFY(ret.Done());
        QCOMPARE(
            Db::Value(QStringLiteral("SELECT group_concat(Kind||'|'||Fen||'|'||ClientID||'|'||FilmID||'|'||"
                                     "RentID||'|'||Day, ',') AS v FROM (SELECT * FROM Ledger ORDER BY ID)")),
            rows);
    }
};
VORIX_TEST(ReturnDlgTest)

class ExchangeDlgTest : public QObject {
    Q_OBJECT
private slots:
    void exchangeMovesTheRentalToTheNewFilm() {
        DeskShop shop(QStringLiteral("小张"), QStringLiteral("操作员"));
        DeskShop::AddOutRental(QStringLiteral("V1"), QString(), QStringLiteral("零租"), 47);
        ExchangeScreen ex;
        QCOMPARE(ex.dlg.windowTitle(), QStringLiteral("租借更换"));
        QCOMPARE(ex.dlg.Form()->operatorName->text(), QStringLiteral("小张"));
        ex.Films(QStringLiteral("V1"), QStringLiteral("D1"));
        ex.Press();
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        ExpectQuestion(shop.boxes.Boxes().first(),
                       QStringLiteral("旧片编号:  V1\n旧片名字:  英雄\n新片编号:  D1\n新片名字:  "
                                      "无间道\n\n以上信息是否正确,请确认?"));
        QVERIFY(ex.Done());
        // Same rental: kind, deposit and lending date kept, no charge, no count changed.
        QCOMPARE(Row(QStringLiteral("ReturnDate=''")), QStringLiteral("D1||零租|47.00|2026-12-01||小张"));
        QCOMPARE(Db::Count(QStringLiteral("Record")), 1);
        QCOMPARE(DeskShop::Degree(QStringLiteral("V1")), 0);
        QCOMPARE(DeskShop::Degree(QStringLiteral("D1")), 0);
    }

    void monthlyVcdForDvdChangesNoBalance() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        ExchangeScreen ex;
        ex.Films(QStringLiteral("V1"), QStringLiteral("D1"));
        ex.Press();
        QVERIFY(ex.Done());
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), QStringLiteral("100.00"));
        QCOMPARE(Row(QStringLiteral("ReturnDate=''")), QStringLiteral("D1|C1|月租|0.00|2026-12-01||Admin"));
    }

    void refusalsInTheirOrder_data() {
        QTest::addColumn<QString>("oldFilm");
        QTest::addColumn<QString>("newFilm");
        QTest::addColumn<QString>("message");
        QTest::newRow("both empty") << ""
                                    << ""
                                    << "未填写影片编号!";
        QTest::newRow("new empty before unknown old") << "X9"
                                                      << ""
                                                      << "未填写影片编号!";
        QTest::newRow("old empty") << ""
                                   << "D1"
                                   << "未填写影片编号!";
        QTest::newRow("unknown old") << "X9"
                                     << "D1"
                                     << "影片编号错误,影片库中未包含此编号!";
        QTest::newRow("unknown new") << "V1"
                                     << "X9"
                                     << "影片编号错误,影片库中未包含此编号!";
        QTest::newRow("wildcard new") << "V1"
                                      << "%"
                                      << "影片编号错误,影片库中未包含此编号!";
        QTest::newRow("old not out") << "D1"
                                     << "N1"
                                     << "旧影片编号错误,此影片未借出!";
        QTest::newRow("same number twice") << "V1"
                                           << "V1"
                                           << "新影片编号错误,此影片已借出!";
        QTest::newRow("new out") << "V1"
                                 << "O1"
                                 << "新影片编号错误,此影片已借出!";
    }
    void refusalsInTheirOrder() {
        QFETCH(QString, oldFilm);
        QFETCH(QString, newFilm);
        QFETCH(QString, message);
        DeskShop shop;
        DeskShop::AddFilm(QStringLiteral("N1"), QStringLiteral("DVD"), QStringLiteral("新片"));
        DeskShop::AddFilm(QStringLiteral("O1"), QStringLiteral("DVD"), QStringLiteral("借出片"));
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        DeskShop::AddOutRental(QStringLiteral("O1"), QString(), QStringLiteral("零租"), 5);
        const QString before = DeskShop::Snapshot();
        ExchangeScreen ex;
        ex.Films(oldFilm, newFilm);
        ex.Press();
        ExpectRefusal(shop.boxes, message);
        QVERIFY(!ex.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
    }

    void answeringNoWritesNothing() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        const QString before = DeskShop::Snapshot();
        shop.boxes.Answer(IDNO);
        ExchangeScreen ex;
        ex.Films(QStringLiteral("V1"), QStringLiteral("D1"));
        ex.Press();
        QVERIFY(!ex.dlg.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
    }

    void exchangedPerDayRentalReturnsTheSameRefund() {
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QString(), QStringLiteral("零租"), 45);
        ExchangeScreen ex;
        ex.Films(QStringLiteral("V1"), QStringLiteral("D1"));
        ex.Press();
        QVERIFY(ex.Done());
        shop.boxes.Clear();
        ReturnScreen ret;
        ret.Film(QStringLiteral("D1"));
        ret.Press();
        QVERIFY(shop.boxes.Texts().first().contains(QStringLiteral("押金找回:  45.00 元")));
        QVERIFY(ret.Done());
    }

    // While the confirmation waits, another counter changes the rental or the new film. The
    // rental is read again before it is written: nothing the other counter did is undone.
    void changeMeanwhileIsRefused_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("out");
        QTest::newRow("new film lent") << "INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,"
                                          "ReturnDate,OptUser) VALUES('','D1','零租',5,'2026-12-07','','b')"
                                       << "新影片编号错误,此影片已借出!"
                                       << "V1,D1";
        QTest::newRow("old film returned") << "UPDATE Record SET ReturnDate='2026-12-07'"
                                           << "旧影片编号错误,此影片未借出!"
                                           << "";
    }
    void changeMeanwhileIsRefused() {
        QFETCH(QString, meanwhile);
        QFETCH(QString, refusal);
        QFETCH(QString, out);
        DeskShop shop;
        DeskShop::AddOutRental(QStringLiteral("V1"), QStringLiteral("C1"), QStringLiteral("月租"), 0);
        ExchangeScreen ex;
        ex.Films(QStringLiteral("V1"), QStringLiteral("D1"));
        shop.boxes.WhileNextBoxIsUp([&] { QVERIFY(Db::Exec(meanwhile)); });
        ex.Press();
        QCOMPARE(shop.boxes.Texts().size(), 2);
        QCOMPARE(shop.boxes.Texts().last(), refusal);
        QVERIFY(!ex.dlg.IsEnded());
        QCOMPARE(Db::Value(QStringLiteral("SELECT group_concat(FilmID) AS v FROM "
                                          "(SELECT FilmID FROM Record WHERE ReturnDate='' ORDER BY ID)")),
                 out);
    }
};
VORIX_TEST(ExchangeDlgTest)
#include "tst_ReturnExchangeDlg.moc"
