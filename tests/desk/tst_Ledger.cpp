#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "data/CLedgerInfo.h"
#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "desk/CReturnDlg.h"
#include "manage/CClientEditDlg.h"
#include "manage/CClientManageDlg.h"
#include "manage/CDayEndDlg.h"
#include "manage/CLedgerDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CDayEndDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CPriceSettingDlg.h"
#include "ui_CReturnDlg.h"

using namespace Qt::StringLiterals;

namespace {
void LendMonthly(const QString& client, const QString& film, const QDate& day = QDate()) {
    CLendDlg lend;
    LendAsClerk(lend, client, film, QString(), day);
}

void LendDaily(const QString& film, const QString& deposit) {
    CLendDlg lend;
    LendAsClerk(lend, QString(), film, deposit);
}

void Return(const QString& film) {
    CReturnDlg back;
    back.OnInitDialog();
    back.Form()->filmEdit->setText(film);
    back.OnOK();
    QVERIFY(back.IsEnded());
}

// Saves the client editor on that client (a new one when empty) with the balance typed.
void EditClient(const QString& client, const QString& balance) {
    CClientEditDlg edit;
    edit.m_strID = client.isEmpty()
                       ? QString()
                       : Db::Value(u"SELECT ID AS v FROM Client WHERE ClientID='%1'"_s.arg(client));
    QVERIFY(edit.OnInitDialog());
    if (client.isEmpty())
        edit.Form()->clientEdit->setText(u"C2"_s);
    if (!balance.isEmpty())
        edit.Form()->balanceEdit->setText(balance);
    edit.OnOK();
    QVERIFY(edit.IsEnded());
}

// The rows a grid shows, each as its visible cells joined by "|".
QStringList Rows(const CBrowseDlg& window, const QTableView* grid) {
    QStringList rows;
    const CAdodc* adodc = window.DataControl();
    for (int row = 0; row < adodc->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < adodc->columnCount(); ++column) {
            if (!grid->isColumnHidden(column))
                cells << adodc->data(adodc->index(row, column)).toString();
        }
        rows << cells.join(u'|');
    }
    return rows;
}

QString LedgerRows(const QString& columns = u"Kind||':'||Fen"_s) {
    return Db::Value(
        u"SELECT group_concat(%1, ',') AS v FROM (SELECT * FROM Ledger ORDER BY ID)"_s.arg(columns));
}
} // namespace

// The ledger beside the desk: each action writes what it moved, and 日结 adds a day up.
class LedgerTest : public QObject {
    Q_OBJECT
private slots:
    // A day of every kind of action, added up by hand: 30 from the balance; 5 and 45 in cash for a
    // per-day lending, the 45 handed back at its return; an exchange moves nothing; a top-up of
    // 80; a new client's deposit and balance of 50 each.
    void aDayAddsUpAsByHand() {
        DeskShop shop;
        DeskShop::AddFilm(u"D3"_s, u"DVD"_s, u"功夫"_s);
        LendMonthly(u"C1"_s, u"V1"_s);
        LendDaily(u"D1"_s, u"50"_s);
        {
            CExchangeDlg exchange;
            exchange.OnInitDialog();
            exchange.Form()->oldFilmEdit->setText(u"D1"_s);
            exchange.Form()->newFilmEdit->setText(u"D3"_s);
            exchange.OnOK();
            QVERIFY(exchange.IsEnded());
        }
        Return(u"D3"_s);
        EditClient(u"C1"_s, u"150"_s);
        EditClient(QString(), QString());
        QCOMPARE(LedgerRows(),
                 u"月租扣款:3000,零租租金:500,收押金:4500,退押金:4500,充值:8000,开户押金:5000,充值:5000"_s);
        QCOMPARE(LedgerRows(u"ClientID||FilmID||':'||RentID"_s), u"C1V1:1,D1:2,D1:2,D3:2,C1:0,C2:0,C2:0"_s);

        CDayEndDlg day;
        day.show();
        day.OnInitDialog();
        QCOMPARE(day.windowTitle(), u"日结 2026-12-07 全部"_s);
        QCOMPARE(Rows(day, day.Form()->grid), (QStringList{
                                                  u"零租租金|1|5.00|5.00"_s,
                                                  u"收押金|1|45.00|45.00"_s,
                                                  u"退押金|1|45.00|-45.00"_s,
                                                  u"充值|2|130.00|130.00"_s,
                                                  u"开户押金|1|50.00|50.00"_s,
                                                  u"月租扣款|1|30.00|0.00"_s,
                                                  u"合计|7||185.00"_s,
                                              }));
        QCOMPARE(day.Form()->cashInValue->text(), u"230.00 元"_s);
        QCOMPARE(day.Form()->cashOutValue->text(), u"45.00 元"_s);
        QCOMPARE(day.Form()->expectedValue->text(), u"185.00 元"_s);
        const QList<std::pair<QString, QString>> counts{{u"190"_s, u"长款 5.00 元"_s},
                                                        {u"180.5"_s, u"短款 4.50 元"_s},
                                                        {u"185"_s, u"相符"_s},
                                                        {u"多少"_s, QString()}};
        for (const auto& [counted, shown] : counts) {
            day.Form()->countedEdit->setText(counted);
            QCOMPARE(day.Form()->differenceValue->text(), shown);
        }
        // Another day moved nothing.
        day.Form()->dateEdit->setDate(QDate(2026, 12, 6));
        QCOMPARE(Rows(day, day.Form()->grid), QStringList{u"合计|0||0.00"_s});
        QCOMPARE(day.Form()->expectedValue->text(), u"0.00 元"_s);
        QCOMPARE(shop.boxes.Boxes().size(), 2); // the questions of the exchange and the return
    }

    // A lending dated in the past counts on the day it was done, and its row shows both dates.
    void backDatedLendingShowsBothDates() {
        DeskShop shop;
        LendMonthly(u"C1"_s, u"V1"_s, QDate(2026, 12, 1));
        QCOMPARE(LedgerRows(u"Day||' '||At"_s), u"2026-12-01 2026-12-07 15:30:00"_s);
        CLedgerDlg rows;
        rows.m_day = QDate(2026, 12, 7);
        rows.show();
        rows.OnInitDialog();
        QCOMPARE(rows.windowTitle(), u"日结明细 2026-12-07 全部"_s);
        QCOMPARE(Rows(rows, rows.findChild<QTableView*>()),
                 QStringList{u"15:30:00|2026-12-01|Admin|月租扣款|30.00|C1|V1|"_s});
    }

    // An operator sees his own day only; an administrator anyone's, or all.
    void operatorSeesHisOwnDay() {
        DeskShop shop(u"小王"_s, u"操作员"_s);
        QVERIFY(
            Db::Exec(u"INSERT INTO Operator (OptName, Type) VALUES ('小王','操作员'), ('小李','操作员')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Ledger (At,Day,OptUser,Kind,Fen) VALUES "
                         "('2026-12-07 09:00:00','2026-12-07','小王','零租租金',300), "
                         "('2026-12-07 10:00:00','2026-12-07','小李','零租租金',500), "
                         "('2026-12-08 00:00:00','2026-12-08','小王','零租租金',700)"_s));
        {
            CDayEndDlg day;
            day.show();
            day.OnInitDialog();
            QCOMPARE(day.Form()->operatorCombo->count(), 1);
            QCOMPARE(day.Form()->operatorCombo->currentText(), u"小王"_s);
            QVERIFY(!day.Form()->operatorCombo->isEnabled());
            QCOMPARE(day.Form()->expectedValue->text(), u"3.00 元"_s);
        }
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        CDayEndDlg day;
        day.show();
        day.OnInitDialog();
        QVERIFY(day.Form()->operatorCombo->isEnabled());
        QCOMPARE(day.Form()->expectedValue->text(), u"8.00 元"_s);
        Pick(day.Form()->operatorCombo, u"小李"_s);
        QCOMPARE(day.windowTitle(), u"日结 2026-12-07 小李"_s);
        QCOMPARE(day.Form()->expectedValue->text(), u"5.00 元"_s);
    }

    // Changes that move no cash are kept with what they changed; a lowered balance is cash out.
    void changesWithoutCashAreNoted() {
        DeskShop shop;
        {
            CPriceSettingDlg prices;
            QVERIFY(prices.OnInitDialog());
            prices.Form()->monthVcdEdit->setText(u"35"_s);
            prices.Form()->dayDvdEdit->setText(u"5.5"_s);
            prices.OnOK();
            QVERIFY(prices.IsEnded());
        }
        {
            CPriceSettingDlg unchanged;
            QVERIFY(unchanged.OnInitDialog());
            unchanged.OnOK();
        }
        EditClient(u"C1"_s, u"60"_s);
        {
            CClientManageDlg clients;
            clients.OnInitDialog();
            shop.boxes.Answer(IDYES);
            shop.boxes.Answer(IDYES);
            clients.OnDelete();
        }
        QCOMPARE(LedgerRows(u"Kind||':'||Fen||':'||ClientID||':'||Note"_s),
                 u"改价:0::月租VCD 30.00→35.00,零租DVD 5.00→5.50,调整:-4000:C1:,"
                 "删除客户:0:C1:余额 60.00 元,押金 50.00 元"_s);
        qint64 in = 0;
        qint64 out = 0;
        QVERIFY(Ledger::DayCash(QDate(2026, 12, 7), QString(), &in, &out));
        QCOMPARE(in, 0);
        QCOMPARE(out, 4000);
    }

    // A ledger that cannot be written stops the lending: nothing of it is kept, and the form
    // stays open after the one message.
    void failedLedgerWriteKeepsNothing() {
        DeskShop shop;
        QVERIFY(Db::FailOn("INSERT", "Ledger", "disk I/O error"));
        const QString before = DeskShop::Snapshot();
        CLendDlg lend;
        lend.OnInitDialog();
        lend.Form()->clientEdit->setText(u"C1"_s);
        lend.Form()->filmEdit->setText(u"V1"_s);
        lend.OnOK();
        QVERIFY(!lend.IsEnded());
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        QVERIFY(shop.boxes.Texts().at(0).contains(u"disk I/O error"_s));
    }
};
VORIX_TEST(LedgerTest)
#include "tst_Ledger.moc"
