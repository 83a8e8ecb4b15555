#include "DeskFixture.h"
#include "DeskKeys.h"
#include "TestRegistry.h"

#include "desk/CLendDlg.h"
#include "ui_CLendDlg.h"

#include <QLabel>

using namespace Qt::StringLiterals;

// The lending's client line tells, before 确定, what the lending will take and what is left; the
// lending's own refusal and amounts stay as they are, and agree with it.
class LendChargeTest : public QObject {
    Q_OBJECT
private slots:
    void clientLineTellsTheCharge() {
        DeskShop shop;
        DeskShop::AddClient(u"C2"_s, 20);
        DeskShop::AddFilm(u"P1"_s, u"DVD"_s, u"功夫"_s);
        DeskShop::AddOutRental(u"P1"_s, QString(), u"零租"_s, 45);
        CLendDlg lend;
        ShowForKeys(lend);
        const QLabel* line = lend.findChild<QLabel*>(u"clientInfo"_s);
        QLineEdit* client = lend.Form()->clientEdit;
        QLineEdit* film = lend.Form()->filmEdit;
        TypeText(client, u"C1"_s);
        QTRY_COMPARE(line->text(), u"电话 123 · 余额 100.00 元 · 借出 0 部"_s);
        TypeText(film, u"V1"_s);
        QTRY_COMPARE(line->text(), u"电话 123 · 余额 100.00 元 · 借出 0 部\n将扣款 30.00 元,余额 70.00 元"_s);
        // A film that cannot be lent takes nothing; its own line says why.
        for (const QString& code : {u"X1"_s, u"P1"_s}) {
            film->setText(code);
            QTRY_COMPARE(line->text(), u"电话 123 · 余额 100.00 元 · 借出 0 部"_s);
        }
        film->setText(u"D1"_s);
        QTRY_COMPARE(line->text(), u"电话 123 · 余额 100.00 元 · 借出 0 部\n将扣款 40.00 元,余额 60.00 元"_s);
        client->setText(u"C2"_s);
        QTRY_COMPARE(line->text(),
                     u"电话 123 · 余额 20.00 元 · 借出 0 部\n余额不足:须扣款 40.00 元,余额只有 20.00 元"_s);
        lend.OnOK();
        ExpectRefusal(shop.boxes, u"月租客户的余额不足,不能借出影片!"_s);
        shop.boxes.Clear();

        // Per day the line tells the day's price taken from the deposit, and what stays held.
        lend.Form()->typeCombo->setCurrentIndex(1);
        QCOMPARE(line->text(), u"零租:将从押金中收租金 5.00 元"_s);
        lend.Form()->depositEdit->setText(u"3"_s);
        QTRY_COMPARE(line->text(), u"零租:将从押金中收租金 5.00 元,存押金 -2.00 元"_s);
        lend.Form()->typeCombo->setCurrentIndex(0);
        client->setText(u"C1"_s);
        QTRY_COMPARE(line->text(), u"电话 123 · 余额 100.00 元 · 借出 0 部\n将扣款 40.00 元,余额 60.00 元"_s);
        lend.OnOK();
        QVERIFY(lend.IsEnded() && lend.Result() == IDOK);
        QCOMPARE(lend.m_strDone, u"已借出 D1《无间道》给 C1,扣款 40.00 元,余额 60.00 元"_s);
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"60.00"_s);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // The prices are those of the moment the line is made: a price changed at another desk shows
    // at the next lookup.
    void chargeFollowsThePrices() {
        DeskShop shop;
        CLendDlg lend;
        ShowForKeys(lend);
        const QLabel* line = lend.findChild<QLabel*>(u"clientInfo"_s);
        TypeText(lend.Form()->filmEdit, u"V1"_s);
        TypeText(lend.Form()->clientEdit, u"C1"_s);
        QTRY_VERIFY(line->text().endsWith(u"将扣款 30.00 元,余额 70.00 元"_s));
        QCOMPARE(ForeignExec("UPDATE Setting SET MonthVcd = 35.5"), 0);
        lend.Form()->clientEdit->clear();
        lend.Form()->clientEdit->setText(u"C1"_s);
        QTRY_VERIFY(line->text().endsWith(u"将扣款 35.50 元,余额 64.50 元"_s));
    }
};
VORIX_TEST(LendChargeTest)
#include "tst_LendCharge.moc"
