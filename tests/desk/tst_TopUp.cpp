#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/CLedgerInfo.h"
#include "desk/CLendDlg.h"
#include "desk/CTopUpDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CTopUpDlg.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
// Types into the top-up as a clerk does and confirms it.
void TopUp(CTopUpDlg& topUp, const QString& client, const QString& amount) {
    topUp.OnInitDialog();
    topUp.Form()->clientEdit->setText(client);
    topUp.Form()->amountEdit->setText(amount);
    topUp.OnOK();
}
} // namespace

// 充值 by any operator: the amount paid in, the new balance told before 确定, one ledger row and
// a slip, the check and the write in one transaction.
class TopUpTest : public QObject {
    Q_OBJECT
private slots:
    void anOperatorPaysInAndTheBalanceRises() {
        DeskShop desk(u"Amy"_s, u"操作员"_s);
        CTopUpDlg topUp;
        topUp.OnInitDialog();
        topUp.Form()->clientEdit->setText(u"C1"_s);
        topUp.Form()->amountEdit->setText(u"50.5"_s);
        auto* line = topUp.findChild<QLabel*>(u"clientInfo"_s);
        QTRY_VERIFY(line->text().contains(u"充值 50.50 元,余额 100.00 元 → 150.50 元"_s));
        topUp.OnOK();
        QVERIFY(topUp.IsEnded());
        QCOMPARE(desk.boxes.Texts(), QStringList());
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"150.50"_s);
        QCOMPARE(Db::Row(u"SELECT Day, OptUser, Kind, Fen, ClientID, Note FROM Ledger"_s),
                 u"2026-12-07 Amy 充值 5050 C1 余额 100.00 元 → 150.50 元"_s);
        QCOMPARE(topUp.m_strDone, u"已为 C1 充值 50.50 元,余额 150.50 元"_s);
        QCOMPARE(topUp.m_slip.title, u"充值"_s);
        QCOMPARE(topUp.m_slip.client, u"C1"_s);
        QCOMPARE(topUp.m_slip.amounts.size(), 2);
        QCOMPARE(topUp.m_slip.amounts.at(1).second, u"150.50 元"_s);
        // 日结 counts it as cash in.
        qint64 in = 0;
        qint64 out = 0;
        QVERIFY(Ledger::DayCash(QDate(2026, 12, 7), QString(), &in, &out));
        QCOMPARE(in, 5050);
    }

    void refusalsWriteNothing_data() {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("box");
        QTest::newRow("no client") << QString() << u"10"_s << u"未填写客户编号!"_s;
        QTest::newRow("unknown client") << u"C9"_s << u"10"_s << u"客户编号错误!"_s;
        QTest::newRow("nothing paid") << u"C1"_s << u"0"_s << u"请输入一个介于 0.01 和 9999 之间的数。"_s;
        QTest::newRow("not an amount") << u"C1"_s << u"abc"_s << u"请输入一个数。"_s;
        QTest::newRow("past the editor's most")
            << u"C1"_s << u"9900"_s << u"充值后余额将是 10000.00 元,超过了最多的 9999.00 元。请少充一些。"_s;
        QTest::newRow("quote") << u"C1' OR '1'='1"_s << u"10"_s << u"客户编号错误!"_s;
    }
    void refusalsWriteNothing() {
        QFETCH(QString, client);
        QFETCH(QString, amount);
        QFETCH(QString, box);
        DeskShop desk;
        const QString before = DeskShop::Snapshot();
        CTopUpDlg topUp;
        TopUp(topUp, client, amount);
        QVERIFY(!topUp.IsEnded());
        QCOMPARE(desk.boxes.Texts().size(), 1);
        QVERIFY2(desk.boxes.Texts().first().startsWith(box.left(12)), qPrintable(desk.boxes.Texts().first()));
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(Db::Count(u"Ledger"_s), 0);
    }

    // From the lending's client line: the client typed goes over, and the line tells the new balance.
    void theLendingOffersItForTheClientTyped() {
        DeskShop desk;
        DeskShop::AddClient(u"C2"_s, 10);
        CLendDlg lend;
        lend.OnInitDialog();
        lend.Form()->clientEdit->setText(u"C2"_s);
        lend.Form()->filmEdit->setText(u"V1"_s);
        QStringList opened;
        ModalScript script([&opened](CDialog& dialog) {
            auto* topUp = dynamic_cast<CTopUpDlg*>(&dialog);
            QVERIFY(topUp);
            opened << topUp->Form()->clientEdit->text();
            topUp->Form()->amountEdit->setText(u"100"_s);
            topUp->OnOK();
        });
        auto* button = lend.findChild<QPushButton*>(u"topUpButton"_s);
        QVERIFY(button && button->autoDefault());
        button->click();
        QCOMPARE(opened, QStringList{u"C2"_s});
        QCOMPARE(DeskShop::Balance(u"C2"_s), u"110.00"_s);
        auto* line = lend.findChild<QLabel*>(u"clientInfo"_s);
        QTRY_VERIFY(line->text().contains(u"将扣款 30.00 元,余额 80.00 元"_s));
        lend.OnOK();
        QVERIFY(lend.IsEnded());
        QCOMPARE(DeskShop::Balance(u"C2"_s), u"80.00"_s);
    }
};
VORIX_TEST(TopUpTest)
#include "tst_TopUp.moc"
