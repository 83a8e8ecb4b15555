#include "DeskFixture.h"
#include "DeskKeys.h"
#include "TestRegistry.h"

#include "desk/CLendBasketDlg.h"
#include "desk/CLendDlg.h"
#include "ui_CLendBasketDlg.h"
#include "ui_CLendDlg.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
const char* const kOtherDeskVariable = "VORIX_BASKET_OTHER_DESK"; // "CLIENT FILM" to lend there

// The basket as the counter uses it: shown, with the keyboard, the client field first.
struct Basket {
    CLendBasketDlg dlg;
    Basket() { ShowForKeys(dlg); }
    Ui::CLendBasketDlg& f() { return *dlg.Form(); }
    QString Row(int row) {
        QStringList cells;
        for (int column = 0; column < f().filmTable->columnCount(); ++column)
            cells << f().filmTable->item(row, column)->text();
        return cells.join(u'|');
    }
    QString Said() { return dlg.findChild<QLabel*>(u"scanLine"_s)->text(); }
    void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
    bool Lent() const { return dlg.IsEnded() && dlg.Result() == IDOK; }
};

// Everything a lending writes, as one text: a refusal must leave it as it was.
QString Whole() {
    return DeskShop::Snapshot() +
           Db::Value(
               u"SELECT (SELECT COUNT(*) FROM Ledger) || '|' || (SELECT COUNT(*) FROM DeskAction) || '|' "
               "|| (SELECT group_concat(State, ',') FROM Reservation) AS v"_s);
}

QString OutRows() {
    return Db::Value(u"SELECT group_concat(r, ',') AS v FROM (SELECT FilmID||':'||ClientID||':'||Type||':'||"
                     "printf('%.2f',Foregift)||':'||BorrowDate||':'||OptUser AS r FROM Record WHERE "
                     "ReturnDate='' ORDER BY ID)"_s);
}

QString BasketLedgerRows() {
    return Db::Value(
        u"SELECT group_concat(r, ',') AS v FROM (SELECT FilmID||':'||Kind||':'||Fen||':'||Note AS r "
        "FROM Ledger ORDER BY ID)"_s);
}

// The other desk, a program of its own, lends a film with the single lending's form.
QByteArray OtherDeskLends(const QString& client, const QString& film) {
    QProcess desk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kOtherDeskVariable), client + u' ' + film);
    desk.setProcessEnvironment(env);
    desk.setProcessChannelMode(QProcess::MergedChannels);
    desk.start(QCoreApplication::applicationFilePath(), {u"-class"_s, u"BasketOtherDeskChild"_s});
    if (!desk.waitForFinished(60000))
        desk.kill();
    const QByteArray output = desk.readAll();
    return desk.exitStatus() == QProcess::NormalExit && desk.exitCode() == 0 ? QByteArray() : output;
}
} // namespace

// Several films for one customer: each checked as it is scanned, the total and the balance after
// them all shown, and all lent at 确定 in one transaction, or none.
class BasketLendTest : public QObject {
    Q_OBJECT
private slots:
    // The third film would empty the balance: refused on its row, nothing written. Changed by
    // another desk after the scan, the balance is checked again under the lock at 确定.
    void monthlyBasketKeepsTheBalanceAboveZero() {
        DeskShop shop;
        DeskShop::AddFilm(u"V2"_s, u"VCD"_s, u"英雄2"_s);
        const QString before = Whole();
        Basket basket;
        QAbstractItemModelTester tester(basket.f().filmTable->model());
        QCOMPARE(basket.dlg.windowTitle(), u"多片借出"_s);
        ScanCode(u"C1"_s);
        QCOMPARE(QApplication::focusWidget(), basket.f().filmEdit);
        for (const QString& film : {u"V1"_s, u"D1"_s, u"V2"_s})
            ScanCode(film);
        QCOMPARE(QApplication::focusWidget(), basket.f().filmEdit);
        QCOMPARE(basket.Row(0), u"V1|英雄|VCD|30.00 元|可借,借后余额 70.00 元"_s);
        QCOMPARE(basket.Row(1), u"D1|无间道|DVD|40.00 元|可借,借后余额 30.00 元"_s);
        QCOMPARE(basket.Row(2), u"V2|英雄2|VCD|30.00 元|月租客户的余额不足,不能借出影片!"_s);
        QCOMPARE(basket.Said(), u"V2《英雄2》:月租客户的余额不足,不能借出影片!"_s);
        QCOMPARE(basket.f().totalLine->text(),
                 u"可借 2 部,月租合计 70.00 元;余额 100.00 元,借后余额 30.00 元\n另有 1 部不能借出,见说明"_s);
        QCOMPARE(basket.f().totalLine->accessibleName(), basket.f().totalLine->text());
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QCOMPARE(Whole(), before);

        // A yuan more at another desk: scanned again, the third fits. Taken back before 确定, the
        // basket is refused whole.
        QCOMPARE(ForeignExec("UPDATE Client SET Balance=101 WHERE ClientID='C1'"), EngineError::Ok);
        basket.Key(Qt::Key_Delete); // the empty film field: the row selected goes
        QCOMPARE(basket.f().filmTable->rowCount(), 2);
        ScanCode(u"V2"_s);
        QCOMPARE(basket.f().totalLine->text(),
                 u"可借 3 部,月租合计 100.00 元;余额 101.00 元,借后余额 1.00 元"_s);
        QCOMPARE(ForeignExec("UPDATE Client SET Balance=100 WHERE ClientID='C1'"), EngineError::Ok);
        basket.Key(Qt::Key_Return); // Enter on the empty film field confirms
        ExpectRefusal(shop.boxes, u"V2《英雄2》:月租客户的余额不足,不能借出影片!"_s);
        QVERIFY(!basket.dlg.IsEnded());
        QCOMPARE(Whole(), before);
        QCOMPARE(basket.Row(2).section(u'|', 4), u"月租客户的余额不足,不能借出影片!"_s);

        shop.boxes.Clear();
        QCOMPARE(ForeignExec("UPDATE Client SET Balance=101 WHERE ClientID='C1'"), EngineError::Ok);
        basket.f().filmTable->setFocus();
        basket.f().filmTable->setCurrentCell(2, 0);
        basket.Key(Qt::Key_Delete);
        QCOMPARE(basket.f().filmTable->rowCount(), 2);
        basket.f().filmEdit->setFocus();
        ScanCode(u"V2"_s);
        basket.Key(Qt::Key_Return);
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(basket.Lent());
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"1.00"_s);
        QCOMPARE(OutRows(), u"V1:C1:月租:0.00:2026-12-07:Admin,D1:C1:月租:0.00:2026-12-07:Admin,"
                            "V2:C1:月租:0.00:2026-12-07:Admin"_s);
        QCOMPARE(DeskShop::Degree(u"V1"_s) + DeskShop::Degree(u"D1"_s) + DeskShop::Degree(u"V2"_s), 3);
        QCOMPARE(BasketLedgerRows(), u"V1:月租扣款:3000:多片借出 3 部,D1:月租扣款:4000:多片借出 3 部,"
                                     "V2:月租扣款:3000:多片借出 3 部"_s);
        // Each film is a lending of its own to undo, as the single lending leaves it.
        QCOMPARE(
            Db::Value(
                u"SELECT group_concat(r, ',') AS v FROM (SELECT Kind||':'||FilmID||':'||ClientID||':'||"
                "CASE WHEN RentID>0 THEN 'rent' END||':'||(LastLedger-FirstLedger) AS r FROM DeskAction ORDER BY ID)"_s),
            u"借出:V1:C1:rent:1,借出:D1:C1:rent:1,借出:V2:C1:rent:1"_s);
        QCOMPARE(basket.dlg.m_strDone,
                 u"已借出 3 部给 C1:V1《英雄》、D1《无间道》、V2《英雄2》,扣款 100.00 元,余额 1.00 元"_s);
        QCOMPARE(basket.dlg.m_slip.amounts.size(), 5);
        QCOMPARE(basket.dlg.m_slip.amounts.at(3), qMakePair(u"合计 3 部"_s, u"100.00 元"_s));
    }

    // Per day: no client, a deposit for each film, the day's price taken from each.
    void perDayBasketTakesADepositForEachFilm() {
        DeskShop shop;
        Basket basket;
        Pick(basket.f().typeCombo, u"零租"_s);
        QVERIFY(!basket.f().clientEdit->isEnabled());
        basket.f().filmEdit->setFocus();
        ScanCode(u"V1"_s);
        ScanCode(u"D1"_s);
        const QString before = Whole();
        basket.Key(Qt::Key_Return);
        ExpectRefusal(shop.boxes, u"未填写押金!"_s);
        QCOMPARE(QApplication::focusWidget(), basket.f().depositEdit);
        QCOMPARE(Whole(), before);
        shop.boxes.Clear();
        ScanCode(u"50"_s); // the deposit typed over, Enter goes on to the film
        QCOMPARE(QApplication::focusWidget(), basket.f().filmEdit);
        QTRY_COMPARE(basket.f().totalLine->text(),
                     u"可借 2 部(零租):收押金 100.00 元,租金合计 8.00 元,存押金 92.00 元"_s);
        TypeText(basket.dlg.findChild<QLineEdit*>(u"contactNameEdit"_s), u"张三"_s);
        basket.f().filmEdit->setFocus();
        basket.Key(Qt::Key_Return);
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(basket.Lent());
        QCOMPARE(OutRows(), u"V1::零租:47.00:2026-12-07:Admin,D1::零租:45.00:2026-12-07:Admin"_s);
        QCOMPARE(BasketLedgerRows(), u"V1:零租租金:300:多片借出 2 部,V1:收押金:4700:多片借出 2 部,"
                                     "D1:零租租金:500:多片借出 2 部,D1:收押金:4500:多片借出 2 部"_s);
        QCOMPARE(Db::Count(u"RentContact WHERE Name='张三'"_s), 2);
        QCOMPARE(basket.dlg.m_strDone,
                 u"已借出 2 部(零租):V1《英雄》、D1《无间道》,收押金 100.00 元,租金 8.00 元,"
                 "存押金 92.00 元"_s);
        QCOMPARE(basket.dlg.m_slip.client, u"零租 联系人 张三"_s);
    }

    // A film out, one unknown, one held for another client and one scanned twice: each says why on
    // its row and stays behind; 确定 lends the rest.
    void filmsThatCannotBeLentSayWhyAndStayBehind() {
        DeskShop shop;
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        DeskShop::AddOutRental(u"D2"_s, QString(), u"零租"_s, 45);
        DeskShop::AddFilm(u"V3"_s, u"VCD"_s, u"卧虎藏龙"_s);
        DeskShop::AddClient(u"C2"_s, 50);
        QVERIFY(Db::Exec(u"INSERT INTO Reservation (ClientID,FilmName,AskDate,State,HeldFilmID,HeldUntil) "
                         "VALUES('C2','卧虎藏龙','2026-12-01','已留片','V3','2026-12-09')"_s));
        Basket basket;
        ScanCode(u"C1"_s);
        for (const QString& film : {u"D2"_s, u"X9"_s, u"V3"_s, u"V1"_s})
            ScanCode(film);
        QCOMPARE(basket.Said(), u"已加入 V1《英雄》,30.00 元"_s);
        ScanCode(u"v1"_s);
        QCOMPARE(basket.Said(), u"v1 已在清单中"_s);
        QCOMPARE(basket.f().filmTable->rowCount(), 4);
        QCOMPARE(basket.Row(0), u"D2|功夫|DVD||此影片已经借出,请选择其它影片!"_s);
        QCOMPARE(basket.Row(1), u"X9||||影片编号错误!"_s);
        QCOMPARE(
            basket.Row(2),
            u"V3|卧虎藏龙|VCD|30.00 元|此影片已为 C2(电话 123) 留片,保留到 2026-12-09,请选择其它影片!"_s);
        QCOMPARE(basket.f().totalLine->text(),
                 u"可借 1 部,月租合计 30.00 元;余额 100.00 元,借后余额 70.00 元\n另有 3 部不能借出,见说明"_s);
        basket.Key(Qt::Key_Return);
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QVERIFY(basket.Lent());
        QCOMPARE(OutRows(), u"D2::零租:45.00:2026-12-01:lender,V1:C1:月租:0.00:2026-12-07:Admin"_s);
        QCOMPARE(Db::Value(u"SELECT State AS v FROM Reservation"_s), u"已留片"_s);
    }

    // Another desk lends a film of the basket between its scan and 确定: refused with its reason,
    // and nothing of the basket is written.
    void aFilmLentAtAnotherDeskMeanwhileStopsTheBasket() {
        DeskShop shop;
        DeskShop::AddClient(u"C2"_s, 100);
        Basket basket;
        ScanCode(u"C1"_s);
        ScanCode(u"V1"_s);
        ScanCode(u"D1"_s);
        QCOMPARE(OtherDeskLends(u"C2"_s, u"D1"_s), QByteArray());
        const QString before = Whole();
        basket.Key(Qt::Key_Return);
        ExpectRefusal(shop.boxes, u"D1《无间道》:此影片已经借出,请选择其它影片!"_s);
        QVERIFY(!basket.dlg.IsEnded());
        QCOMPARE(Whole(), before);
        QCOMPARE(basket.Row(1).section(u'|', 4), u"此影片已经借出,请选择其它影片!"_s);
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"100.00"_s);
        // Escape: nothing written.
        basket.Key(Qt::Key_Escape);
        QVERIFY(basket.dlg.IsEnded() && basket.dlg.Result() == IDCANCEL);
        QCOMPARE(Whole(), before);
    }

    // From the single lending, once a client is typed: the basket opens on him and the film typed,
    // and its lending closes the form as done.
    void lendingFormOpensTheBasketForItsClient() {
        DeskShop shop;
        CLendDlg lend;
        lend.OnInitDialog();
        auto* button = lend.findChild<QPushButton*>(u"basketButton"_s);
        QVERIFY(button && !button->isEnabled());
        lend.Form()->clientEdit->setText(u"C1"_s);
        lend.Form()->filmEdit->setText(u"V1"_s);
        QVERIFY(button->isEnabled());
        ModalScript script([](CDialog& dialog) {
            auto& basket = dynamic_cast<CLendBasketDlg&>(dialog);
            QCOMPARE(basket.Form()->clientEdit->text(), u"C1"_s);
            QCOMPARE(basket.Form()->filmTable->rowCount(), 1);
            basket.AddFilm(u"D1"_s);
            basket.OnOK();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(lend.IsEnded() && lend.Result() == IDOK);
        QCOMPARE(lend.m_strDone, u"已借出 2 部给 C1:V1《英雄》、D1《无间道》,扣款 70.00 元,余额 30.00 元"_s);
        Pick(lend.Form()->typeCombo, u"零租"_s);
        QVERIFY(!button->isEnabled());
    }
};
VORIX_TEST(BasketLendTest)

// The other desk of the test above, in a program of its own.
class BasketOtherDeskChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        const QStringList task = qEnvironmentVariable(kOtherDeskVariable).split(u' ');
        if (task.size() != 2)
            QSKIP("runs as the other desk of BasketLendTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        CLendDlg lend;
        LendAsClerk(lend, task[0], task[1]);
        QCOMPARE(boxes.Texts(), QStringList());
    }
};
VORIX_TEST(BasketOtherDeskChild)
#include "tst_LendBasket.moc"
