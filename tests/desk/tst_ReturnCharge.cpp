#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "data/CLedgerInfo.h"
#include "data/ReturnCharge.h"
#include "desk/CLateChargeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "desk/CReturnDlg.h"
#include "desk/ReturnExtras.h"
#include "manage/CDayEndDlg.h"
#include "manage/COutListDlg.h"
#include "ui_CDayEndDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString kQuestion = u"\n\n以上信息是否正确,请确认?"_s;

// The shop charges the days out, with a cap per rental in fen (-1: none).
void ChargeDaysOut(qint64 capFen = -1, int planDays = ReturnCharge::Rule::kPlanDays) {
    ReturnCharge::Rule rule;
    rule.on = true;
    rule.capFen = capFen;
    rule.planDays = planDays;
    QVERIFY(ReturnCharge::Save(rule));
}

void Lend(const QString& film, const QString& client, const QString& deposit, const QDate& day) {
    CLendDlg lend;
    LendAsClerk(lend, client, film, deposit, day);
}

// The return's form as the clerk fills it: the film, the date, what is waived and the damage.
struct Back {
    CReturnDlg dlg;
    Back() {
        dlg.show();
        dlg.OnInitDialog();
    }
    Back& Film(const QString& code, const QDate& day) {
        dlg.Form()->filmEdit->setText(code);
        dlg.Form()->dateEdit->setDate(day);
        return *this;
    }
    Back& Waive(const QString& amount, const QString& reason) {
        dlg.Extras()->waiver->setText(amount);
        dlg.Extras()->waiverReason->setText(reason);
        return *this;
    }
    Back& Damage(const QString& amount, const QString& reason, bool fromDeposit) {
        dlg.Extras()->damage->setText(amount);
        dlg.Extras()->damageReason->setText(reason);
        (fromDeposit ? dlg.Extras()->fromDeposit : dlg.Extras()->inCash)->setChecked(true);
        return *this;
    }
    bool Press() {
        dlg.OnOK();
        return dlg.IsEnded();
    }
    QString Slip() const {
        QStringList amounts;
        for (const auto& [label, amount] : dlg.m_slip.amounts)
            amounts << label + u' ' + amount;
        return amounts.join(u',');
    }
};

QString ChargeLedgerRows(const QString& where = u"1=1"_s) {
    return Db::Value(u"SELECT group_concat(Kind||':'||Fen, ',') AS v FROM (SELECT * FROM Ledger WHERE %1 "
                     "ORDER BY ID)"_s.arg(where));
}

QString PerDayText(const QString& film, const QString& name, const QString& back, const QString& more = {}) {
    return u"租借类型:  零租\n影片编号:  %1\n影片名字:  %2\n押金找回:  %3 元"_s.arg(film, name, back) + more +
           kQuestion;
}

QString MonthlyText(const QString& more) {
    return u"租借类型:  月租\n客户编号:  C1\n影片编号:  V1\n影片名字:  英雄"_s + more + kQuestion;
}
} // namespace

// The days a film stays out, charged at its return when the shop says so: the figures through
// the real lending and return, the ledger's rows and what crossed the counter.
class ReturnChargeTest : public QObject {
    Q_OBJECT
private slots:
    // Lent on 03-01 at 3.00 a day with 50.00 (47.00 held): the first day is paid; each further
    // day costs the day price at the return, up to the cap; what the deposit does not cover is
    // paid in cash.
    void perDayFigures_data() {
        QTest::addColumn<QDate>("returned");
        QTest::addColumn<qint64>("capFen");
        QTest::addColumn<float>("dayPriceAtReturn");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("ledger");
        QTest::addColumn<QString>("done");
        QTest::addColumn<QString>("slip");
        QTest::addColumn<qint64>("drawer"); // fen the drawer keeps of the lending and the return
        QTest::addColumn<QString>("deposit");
        const QString nothing = PerDayText(u"V1"_s, u"英雄"_s, u"47.00"_s);
        QTest::newRow("same day") << QDate(2026, 3, 1) << qint64(-1) << 3.0f << nothing << u"退押金:4700"_s
                                  << u"已还回 V1《英雄》,退押金 47.00 元"_s << u"退押金 47.00 元"_s
                                  << qint64(300) << u"50"_s;
        QTest::newRow("before the lending")
            << QDate(2026, 2, 27) << qint64(-1) << 3.0f << nothing << u"退押金:4700"_s
            << u"已还回 V1《英雄》,退押金 47.00 元"_s << u"退押金 47.00 元"_s << qint64(300) << u"50"_s;
        QTest::newRow("next day") << QDate(2026, 3, 2) << qint64(-1) << 3.0f << nothing << u"退押金:4700"_s
                                  << u"已还回 V1《英雄》,退押金 47.00 元"_s << u"退押金 47.00 元"_s
                                  << qint64(300) << u"50"_s;
        QTest::newRow("three days")
            << QDate(2026, 3, 4) << qint64(-1) << 3.0f
            << PerDayText(u"V1"_s, u"英雄"_s, u"41.00"_s,
                          u"\n借出天数:  3 天\n超期租金:  6.00 元(2 天 × 3.00 元,按还回时的零租价)"
                          "\n所存押金:  47.00 元"_s)
            << u"退押金:4700,超期租金:600"_s
            << u"已还回 V1《英雄》,借出 3 天,超期租金 6.00 元,退押金 41.00 元"_s
            << u"押金 47.00 元,借出天数 3 天,超期租金 6.00 元,退押金 41.00 元"_s << qint64(900) << u"50"_s;
        QTest::newRow("price raised since the lending")
            << QDate(2026, 3, 4) << qint64(-1) << 4.0f
            << PerDayText(u"V1"_s, u"英雄"_s, u"39.00"_s,
                          u"\n借出天数:  3 天\n超期租金:  8.00 元(2 天 × 4.00 元,按还回时的零租价)"
                          "\n所存押金:  47.00 元"_s)
            << u"退押金:4700,超期租金:800"_s
            << u"已还回 V1《英雄》,借出 3 天,超期租金 8.00 元,退押金 39.00 元"_s
            << u"押金 47.00 元,借出天数 3 天,超期租金 8.00 元,退押金 39.00 元"_s << qint64(1100) << u"50"_s;
        QTest::newRow("capped")
            << QDate(2026, 3, 11) << qint64(2000) << 3.0f
            << PerDayText(
                   u"V1"_s, u"英雄"_s, u"27.00"_s,
                   u"\n借出天数:  10 天\n超期租金:  20.00 元(9 天 × 3.00 元,封顶 20.00 元,按还回时的零租价)"
                   "\n所存押金:  47.00 元"_s)
            << u"退押金:4700,超期租金:2000"_s
            << u"已还回 V1《英雄》,借出 10 天,超期租金 20.00 元,退押金 27.00 元"_s
            << u"押金 47.00 元,借出天数 10 天,超期租金 20.00 元,退押金 27.00 元"_s << qint64(2300) << u"50"_s;
        QTest::newRow("above the deposit")
            << QDate(2026, 3, 21) << qint64(-1) << 3.0f
            << PerDayText(u"V1"_s, u"英雄"_s, u"0.00"_s,
                          u"\n借出天数:  20 天\n超期租金:  57.00 元(19 天 × 3.00 元,按还回时的零租价)"
                          "\n所存押金:  47.00 元\n还须付款:  10.00 元"_s)
            << u"退押金:4700,超期租金:5700"_s
            << u"已还回 V1《英雄》,借出 20 天,超期租金 57.00 元,退押金 0.00 元,还须付 10.00 元"_s
            << u"押金 47.00 元,借出天数 20 天,超期租金 57.00 元,退押金 0.00 元,还须付 10.00 元"_s
            << qint64(6000) << u"50"_s;
        // A deposit below the day's price left a debt at the lending: it is paid with the charge.
        QTest::newRow("negative deposit")
            << QDate(2026, 3, 4) << qint64(-1) << 3.0f
            << PerDayText(u"V1"_s, u"英雄"_s, u"0.00"_s,
                          u"\n借出天数:  3 天\n超期租金:  6.00 元(2 天 × 3.00 元,按还回时的零租价)"
                          "\n所存押金:  -2.99 元\n还须付款:  8.99 元"_s)
            << u"退押金:-299,超期租金:600"_s
            << u"已还回 V1《英雄》,借出 3 天,超期租金 6.00 元,退押金 0.00 元,还须付 8.99 元"_s
            << u"押金 -2.99 元,借出天数 3 天,超期租金 6.00 元,退押金 0.00 元,还须付 8.99 元"_s << qint64(900)
            << u"0.01"_s;
    }
    void perDayFigures() {
        QFETCH(QString, deposit);
        QFETCH(QDate, returned);
        QFETCH(qint64, capFen);
        QFETCH(float, dayPriceAtReturn);
        QFETCH(QString, question);
        QFETCH(QString, ledger);
        QFETCH(QString, done);
        QFETCH(QString, slip);
        QFETCH(qint64, drawer);
        DeskShop shop;
        ChargeDaysOut(capFen);
        Lend(u"V1"_s, QString(), deposit, QDate(2026, 3, 1));
        QVERIFY(Db::Exec(u"UPDATE Setting SET DayVcd=%1"_s.arg(dayPriceAtReturn)));
        Back back;
        QVERIFY(back.Film(u"V1"_s, returned).Press());
        QCOMPARE(shop.boxes.Texts(), QStringList{question});
        ExpectQuestion(shop.boxes.Boxes().first(), question);
        QCOMPARE(ChargeLedgerRows(u"Kind NOT IN ('零租租金','收押金')"_s), ledger);
        QCOMPARE(back.dlg.m_strDone, done);
        QCOMPARE(back.Slip(), slip);
        // The rental keeps what the Part writes; only the ledger knows the charge.
        QCOMPARE(Db::Value(u"SELECT ReturnDate AS v FROM Record"_s), returned.toString(u"yyyy-MM-dd"_s));
        // Each ledger row is cash in or out; together they are what crossed the counter.
        qint64 cash = 0;
        const QStringList rows =
            Db::Value(u"SELECT group_concat(Kind||':'||Fen, ',') AS v FROM Ledger"_s).split(u',');
        for (const QString& row : rows)
            cash += CLedgerInfo::CashFen(row.section(u':', 0, 0), row.section(u':', 1).toLongLong());
        QCOMPARE(cash, drawer);
    }

    // A month's plan covers 30 days; each period begun after it takes one more month's price
    // from the balance, which may go below zero.
    void monthlyFigures_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QString>("more");
        QTest::addColumn<QString>("ledger");
        QTest::addColumn<QString>("charged"); // the status line's charge
        QTest::newRow("30 days") << 30 << u"70.00"_s << QString() << QString() << QString();
        QTest::newRow("31 days")
            << 31 << u"40.00"_s
            << u"\n借出天数:  31 天\n超期扣款:  30.00 元(1 期 × 30.00 元,每期按还回时的月租价,"
               "从余额扣)\n扣后余额:  40.00 元"_s
            << u"超期扣款:3000"_s << u"30.00"_s;
        QTest::newRow("60 days")
            << 60 << u"40.00"_s
            << u"\n借出天数:  60 天\n超期扣款:  30.00 元(1 期 × 30.00 元,每期按还回时的月租价,"
               "从余额扣)\n扣后余额:  40.00 元"_s
            << u"超期扣款:3000"_s << u"30.00"_s;
        QTest::newRow("61 days")
            << 61 << u"10.00"_s
            << u"\n借出天数:  61 天\n超期扣款:  60.00 元(2 期 × 30.00 元,每期按还回时的月租价,"
               "从余额扣)\n扣后余额:  10.00 元"_s
            << u"超期扣款:6000"_s << u"60.00"_s;
        QTest::newRow("below zero")
            << 91 << u"-20.00"_s
            << u"\n借出天数:  91 天\n超期扣款:  90.00 元(3 期 × 30.00 元,每期按还回时的月租价,"
               "从余额扣)\n扣后余额:  -20.00 元"_s
            << u"超期扣款:9000"_s << u"90.00"_s;
    }
    void monthlyFigures() {
        QFETCH(int, days);
        QFETCH(QString, balance);
        QFETCH(QString, more);
        QFETCH(QString, ledger);
        QFETCH(QString, charged);
        DeskShop shop(u"小李"_s, u"操作员"_s);
        ChargeDaysOut();
        const QDate lent(2026, 1, 1);
        Lend(u"V1"_s, u"C1"_s, QString(), lent);
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"70.00"_s);
        Back back;
        QVERIFY(back.Film(u"V1"_s, lent.addDays(days)).Press());
        ExpectQuestion(shop.boxes.Boxes().first(), MonthlyText(more));
        QCOMPARE(DeskShop::Balance(u"C1"_s), balance);
        QCOMPARE(ChargeLedgerRows(u"Kind<>'月租扣款'"_s), ledger);
        QCOMPARE(back.dlg.m_strDone,
                 charged.isEmpty()
                     ? u"已还回 V1《英雄》(C1 月租)"_s
                     : u"已还回 V1《英雄》(C1 月租),借出 %1 天,超期扣款 %2 元,余额 %3 元"_s.arg(days).arg(
                           charged, balance));
        QCOMPARE(Db::Value(u"SELECT ReturnDate AS v FROM Record"_s),
                 lent.addDays(days).toString(u"yyyy-MM-dd"_s));
    }

    // An administrator may let off all or part of a charge, with a reason; the clerk is told why
    // a waiver is refused, and nothing is written then.
    void waiverByAnAdministrator() {
        DeskShop shop;
        ChargeDaysOut();
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 3, 1));
        const QString before = DeskShop::Snapshot();
        const QList<std::pair<QString, QString>> refused{
            {u"6.01"_s, u"减免不能超过应收的超期租金 6.00 元!"_s},
            {u"2"_s, u"请填写减免原因!"_s},
        };
        for (const auto& [amount, refusal] : refused) {
            shop.boxes.Clear();
            Back back;
            QVERIFY(!back.Film(u"V1"_s, QDate(2026, 3, 4)).Waive(amount, QString()).Press());
            ExpectRefusal(shop.boxes, refusal);
            QCOMPARE(DeskShop::Snapshot(), before);
        }
        shop.boxes.Clear();
        Back back;
        QVERIFY(back.Film(u"V1"_s, QDate(2026, 3, 4)).Waive(u"2"_s, u"老客户"_s).Press());
        ExpectQuestion(shop.boxes.Boxes().first(),
                       PerDayText(u"V1"_s, u"英雄"_s, u"43.00"_s,
                                  u"\n借出天数:  3 天\n超期租金:  6.00 元(2 天 × 3.00 元,按还回时的零租价)"
                                  "\n减免金额:  2.00 元(老客户)\n所存押金:  47.00 元"_s));
        QCOMPARE(ChargeLedgerRows(u"Kind NOT IN ('零租租金','收押金')"_s),
                 u"退押金:4700,超期租金:400,减免:200"_s);
        QCOMPARE(Db::Value(u"SELECT Note AS v FROM Ledger WHERE Kind='减免'"_s), u"老客户"_s);
        QCOMPARE(back.dlg.m_strDone,
                 u"已还回 V1《英雄》,借出 3 天,超期租金 6.00 元,减免 2.00 元,退押金 43.00 元"_s);
    }

    void wholeWaiverChargesNothing() {
        DeskShop shop;
        ChargeDaysOut();
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 3, 1));
        Back back;
        QVERIFY(back.Film(u"V1"_s, QDate(2026, 3, 4)).Waive(u"6"_s, u"机器'故障"_s).Press());
        QCOMPARE(
            shop.boxes.Texts(),
            QStringList{PerDayText(u"V1"_s, u"英雄"_s, u"47.00"_s,
                                   u"\n借出天数:  3 天\n超期租金:  6.00 元(2 天 × 3.00 元,按还回时的零租价)"
                                   "\n减免金额:  6.00 元(机器'故障)\n所存押金:  47.00 元"_s)});
        QCOMPARE(ChargeLedgerRows(u"Kind NOT IN ('零租租金','收押金')"_s), u"退押金:4700,减免:600"_s);
        QCOMPARE(Db::Value(u"SELECT Note AS v FROM Ledger WHERE Kind='减免'"_s), u"机器'故障"_s);
    }

    // An operator sees the waiver closed, and a waiver put there anyway is refused.
    void noWaiverByAnOperator() {
        DeskShop shop(u"小李"_s, u"操作员"_s);
        ChargeDaysOut();
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 3, 1));
        const QString before = DeskShop::Snapshot();
        Back back;
        QVERIFY(back.dlg.Extras()->isVisible());
        QVERIFY(!back.dlg.Extras()->waiver->isEnabled());
        QVERIFY(!back.dlg.Extras()->waiverReason->isEnabled());
        QVERIFY(back.dlg.Extras()->damage->isEnabled());
        QVERIFY(!back.Film(u"V1"_s, QDate(2026, 3, 4)).Waive(u"2"_s, u"熟人"_s).Press());
        ExpectRefusal(shop.boxes, u"只有管理员才能减免超期租金!"_s);
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(Db::Count(u"Ledger WHERE Kind='减免'"_s), 0);
    }

    // A damage amount with its reason, at any return: from the deposit, or in cash.
    void damage_data() {
        QTest::addColumn<QDate>("returned");
        QTest::addColumn<bool>("fromDeposit");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("slip");
        QTest::newRow("from the deposit")
            << QDate(2026, 3, 4) << true
            << PerDayText(u"V1"_s, u"英雄"_s, u"31.00"_s,
                          u"\n借出天数:  3 天\n超期租金:  6.00 元(2 天 × 3.00 元,按还回时的零租价)"
                          "\n赔偿金额:  10.00 元(盒子破损,从押金扣)\n所存押金:  47.00 元"_s)
            << u"押金 47.00 元,借出天数 3 天,超期租金 6.00 元,赔偿 10.00 元,退押金 31.00 元"_s;
        QTest::newRow("in cash")
            << QDate(2026, 3, 4) << false
            << PerDayText(
                   u"V1"_s, u"英雄"_s, u"41.00"_s,
                   u"\n借出天数:  3 天\n超期租金:  6.00 元(2 天 × 3.00 元,按还回时的零租价)"
                   "\n赔偿金额:  10.00 元(盒子破损,收现金)\n所存押金:  47.00 元\n还须付款:  10.00 元"_s)
            << u"押金 47.00 元,借出天数 3 天,超期租金 6.00 元,赔偿 10.00 元,退押金 41.00 元,还须付 10.00 元"_s;
        QTest::newRow("nothing late")
            << QDate(2026, 3, 2) << true
            << PerDayText(u"V1"_s, u"英雄"_s, u"37.00"_s,
                          u"\n借出天数:  1 天\n赔偿金额:  10.00 元(盒子破损,从押金扣)\n所存押金:  47.00 元"_s)
            << u"押金 47.00 元,借出天数 1 天,赔偿 10.00 元,退押金 37.00 元"_s;
    }
    void damage() {
        QFETCH(QDate, returned);
        QFETCH(bool, fromDeposit);
        QFETCH(QString, question);
        QFETCH(QString, slip);
        DeskShop shop(u"小李"_s, u"操作员"_s);
        ChargeDaysOut();
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 3, 1));
        Back back;
        QVERIFY(back.Film(u"V1"_s, returned).Damage(u"10"_s, u"盒子破损"_s, fromDeposit).Press());
        ExpectQuestion(shop.boxes.Boxes().first(), question);
        QCOMPARE(back.Slip(), slip);
        QCOMPARE(Db::Value(u"SELECT Fen||' '||Note AS v FROM Ledger WHERE Kind='赔偿'"_s),
                 fromDeposit ? u"1000 盒子破损(从押金扣)"_s : u"1000 盒子破损(现金)"_s);
    }

    void damageRefusals() {
        DeskShop shop;
        ChargeDaysOut();
        Lend(u"V1"_s, u"C1"_s, QString(), QDate(2026, 3, 1));
        const QString before = DeskShop::Snapshot();
        {
            Back back;
            QVERIFY(!back.Film(u"V1"_s, QDate(2026, 3, 4)).Damage(u"10"_s, QString(), false).Press());
            ExpectRefusal(shop.boxes, u"请填写赔偿原因!"_s);
            QCOMPARE(back.dlg.focusWidget(), back.dlg.Extras()->damageReason);
        }
        shop.boxes.Clear();
        {
            Back back;
            QVERIFY(!back.Film(u"V1"_s, QDate(2026, 3, 4)).Damage(u"10"_s, u"划伤"_s, true).Press());
            ExpectRefusal(shop.boxes, u"月租没有押金,赔偿请选择收现金!"_s);
        }
        shop.boxes.Clear();
        {
            // A refusal of the Part comes first: these fields are read only after its checks.
            Back back;
            QVERIFY(!back.Film(u"D1"_s, QDate(2026, 3, 4)).Damage(u"多少"_s, QString(), false).Press());
            ExpectRefusal(shop.boxes, u"影片编号错误,此影片未借出!"_s);
        }
        shop.boxes.Clear();
        {
            Back back;
            QVERIFY(!back.Film(u"V1"_s, QDate(2026, 3, 4)).Damage(u"多少"_s, u"划伤"_s, false).Press());
            QCOMPARE(shop.boxes.Texts(), QStringList{u"请输入一个数。"_s});
        }
        QCOMPARE(DeskShop::Snapshot(), before);
        shop.boxes.Clear();
        Back back;
        QVERIFY(back.Film(u"V1"_s, QDate(2026, 3, 4)).Damage(u"12.5"_s, u"划伤"_s, false).Press());
        QCOMPARE(back.Slip(), u"借出天数 3 天,赔偿 12.50 元,余额 70.00 元,还须付 12.50 元"_s);
        QCOMPARE(ChargeLedgerRows(), u"月租扣款:3000,赔偿:1250"_s);
    }

    // The bill is worked out again under the return's lock: a price changed at another desk while
    // the question was up is not taken unseen; the clerk confirms again.
    void priceChangedWhileAskingIsNotTaken() {
        DeskShop shop;
        ChargeDaysOut();
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 3, 1));
        const QString before = DeskShop::Snapshot();
        shop.boxes.WhileNextBoxIsUp([] { QVERIFY(Db::Exec(u"UPDATE Setting SET DayVcd=4"_s)); });
        Back back;
        QVERIFY(!back.Film(u"V1"_s, QDate(2026, 3, 4)).Press());
        QCOMPARE(shop.boxes.Texts().last(), u"这条租借记录刚刚在另一台电脑上被修改过,请重新输入并确认。"_s);
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(ChargeLedgerRows(), u"零租租金:300,收押金:4700"_s);
        shop.boxes.Clear();
        QVERIFY(back.Press());
        QVERIFY(shop.boxes.Texts().first().contains(u"超期租金:  8.00 元"_s));
        QCOMPARE(ChargeLedgerRows(u"Kind='超期租金'"_s), u"超期租金:800"_s);
    }

    // The line beside the form says the same figures while the clerk types.
    void theLineShowsTheFigures() {
        DeskShop shop;
        ChargeDaysOut();
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 3, 1));
        Back back;
        back.Film(u"V1"_s, QDate(2026, 3, 4)).Waive(u"2"_s, u"老客户"_s);
        auto* line = back.dlg.findChild<QLabel*>(u"filmInfo"_s);
        QTRY_VERIFY(!line->text().isEmpty());
        QCOMPARE(line->text().section(u'\n', 2),
                 u"还回时借出 3 天 · 超期租金 6.00 元 · 减免 2.00 元 · 退押金 43.00 元"_s);
        QVERIFY(line->text().section(u'\n', 1, 1).endsWith(u"押金 47.00 元"_s));
        // Returned the next day nothing is charged, nor waived: the line is the plain one again.
        back.dlg.Form()->dateEdit->setDate(QDate(2026, 3, 2));
        QCOMPARE(line->text().count(u'\n'), 1);
        QVERIFY(line->text().endsWith(u"退押金 47.00 元"_s));
    }

    // The clerk settles a return from the keyboard alone: the fields by their keys, Enter to confirm.
    void settledFromTheKeyboard() {
        DeskShop shop;
        ChargeDaysOut();
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 12, 1));
        CReturnDlg back;
        QTimer::singleShot(10000, &back, [&] { back.done(QDialog::Rejected); }); // whatever happens
        QTimer::singleShot(0, &back, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&back));
            TypeText(back.Form()->filmEdit, u"V1"_s);
            const auto key = [&](Qt::Key mnemonic) {
                QTest::keyClick(QApplication::focusWidget(), mnemonic, Qt::AltModifier);
                return QApplication::focusWidget();
            };
            QCOMPARE(key(Qt::Key_G), back.Extras()->damage);
            TypeText(back.Extras()->damage, u"10"_s);
            QCOMPARE(key(Qt::Key_Y), back.Extras()->damageReason);
            TypeText(back.Extras()->damageReason, u"划伤"_s);
            QCOMPARE(key(Qt::Key_X), back.Extras()->inCash);
            QTRY_VERIFY(back.Extras()->inCash->isChecked()); // a button's key clicks it a moment later
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(back.DoModal(), IDOK);
        QCOMPARE(
            back.m_strDone,
            u"已还回 V1《英雄》,借出 6 天,超期租金 15.00 元,赔偿 10.00 元,退押金 32.00 元,还须付 10.00 元"_s);
    }

    // With the setting off the form has no such fields, and the Part's text holds for a rental
    // long out.
    void offChangesNothing() {
        DeskShop shop;
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 3, 1));
        Back back;
        QVERIFY(!back.dlg.Extras()->isVisible());
        QVERIFY(back.Film(u"V1"_s, QDate(2026, 3, 21)).Press());
        QCOMPARE(shop.boxes.Texts(), QStringList{PerDayText(u"V1"_s, u"英雄"_s, u"47.00"_s)});
        QCOMPARE(ChargeLedgerRows(), u"零租租金:300,收押金:4700,退押金:4700"_s);
    }

    // 日结 of a day that holds every kind of charge agrees with the drawer counted by hand.
    void dayEndAgreesWithTheDrawer() {
        DeskShop shop;
        ChargeDaysOut();
        for (const char* film : {"V2", "V3", "V4"})
            DeskShop::AddFilm(QString::fromLatin1(film), u"VCD"_s, u"片"_s);
        qint64 drawer = 0; // fen, as the clerk hands it over and takes it
        // 03-01 to 03-04 with 50: 41 back.
        Lend(u"V1"_s, QString(), u"50"_s, QDate(2026, 12, 1));
        drawer += 5000;
        QVERIFY(Back().Film(u"V1"_s, QDate(2026, 12, 4)).Press());
        drawer -= 4100;
        // 20 held 17 for 27 days: 78 charged, 61 more paid.
        Lend(u"V2"_s, QString(), u"20"_s, QDate(2026, 11, 10));
        drawer += 2000;
        QVERIFY(Back().Film(u"V2"_s, QDate(2026, 12, 7)).Press());
        drawer += 6100;
        // 6 days (15.00), 5.00 let off, 8.00 damage in cash: 37 back, 8 paid.
        Lend(u"V3"_s, QString(), u"50"_s, QDate(2026, 12, 1));
        drawer += 5000;
        QVERIFY(Back()
                    .Film(u"V3"_s, QDate(2026, 12, 7))
                    .Waive(u"5"_s, u"老客户"_s)
                    .Damage(u"8"_s, u"划伤"_s, false)
                    .Press());
        drawer += 800 - 3700;
        // A month's plan 36 days out: one period from the balance; 12.00 damage in cash.
        Lend(u"V4"_s, u"C1"_s, QString(), QDate(2026, 11, 1));
        QVERIFY(Back().Film(u"V4"_s, QDate(2026, 12, 7)).Damage(u"12"_s, u"丢失封面"_s, false).Press());
        drawer += 1200;
        QCOMPARE(drawer, 12300);
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"40.00"_s);

        CDayEndDlg day;
        day.show();
        day.OnInitDialog();
        QCOMPARE(day.Form()->expectedValue->text(), u"123.00 元"_s);
        day.Form()->countedEdit->setText(u"123"_s);
        QCOMPARE(day.Form()->differenceValue->text(), u"相符"_s);
        const QList<std::pair<QString, QString>> kinds{{u"超期租金"_s, u"3 9400"_s},
                                                       {u"减免"_s, u"1 500"_s},
                                                       {u"赔偿"_s, u"2 2000"_s},
                                                       {u"超期扣款"_s, u"1 3000"_s}};
        for (const auto& [kind, sums] : kinds)
            QCOMPARE(
                Db::Value(u"SELECT COUNT(*)||' '||SUM(Fen) AS v FROM Ledger WHERE Kind='%1'"_s.arg(kind)),
                sums);
    }
};
VORIX_TEST(ReturnChargeTest)

// 设置 → 超期收费: off at first; an administrator saves it for every desk, an operator only looks.
class LateChargeSettingTest : public QObject {
    Q_OBJECT
private slots:
    void savedForEveryDesk() {
        DeskShop shop;
        {
            CPriceSettingDlg prices;
            QVERIFY(prices.OnInitDialog());
            auto* button = prices.findChild<QPushButton*>(u"lateChargeButton"_s);
            QVERIFY(button);
            QCOMPARE(button->text(), u"超期收费(&O)..."_s);
            QVERIFY(button->autoDefault());
            const ModalScript script([](CDialog& dialog) {
                auto& setting = dynamic_cast<CLateChargeDlg&>(dialog);
                QCOMPARE(setting.windowTitle(), u"超期收费"_s);
                QVERIFY(!setting.m_on->isChecked());
                QCOMPARE(setting.m_cap->text(), QString());
                QCOMPARE(setting.m_plan->text(), u"30"_s);
                setting.m_on->setChecked(true);
                setting.m_cap->setText(u"20"_s);
                setting.m_plan->setText(u"31"_s);
                setting.OnOK();
                QVERIFY(setting.IsEnded());
            });
            button->click();
        }
        Lookup found = Lookup::Failed;
        const ReturnCharge::Rule rule = ReturnCharge::Load(&found);
        QCOMPARE(found, Lookup::Found);
        QVERIFY(rule.on);
        QCOMPARE(rule.capFen, 2000);
        QCOMPARE(rule.planDays, 31);
        // Opened again, it shows what was saved; an empty cap is none.
        CLateChargeDlg again;
        QVERIFY(again.OnInitDialog());
        QCOMPARE(again.m_cap->text(), u"20.00"_s);
        again.m_cap->clear();
        again.OnOK();
        QVERIFY(again.IsEnded());
        QCOMPARE(ReturnCharge::Load(&found).capFen, -1);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    void refusesWhatIsNoRule_data() {
        QTest::addColumn<QString>("cap");
        QTest::addColumn<QString>("plan");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("cap no number") << u"二十"_s << u"30"_s << u"请输入一个数。"_s;
        QTest::newRow("cap negative") << u"-1"_s << u"30"_s << QString();
        QTest::newRow("no plan") << QString() << u"0"_s << QString();
        QTest::newRow("plan too long") << QString() << u"367"_s << QString();
    }
    void refusesWhatIsNoRule() {
        QFETCH(QString, cap);
        QFETCH(QString, plan);
        QFETCH(QString, prompt);
        DeskShop shop;
        CLateChargeDlg setting;
        QVERIFY(setting.OnInitDialog());
        setting.m_on->setChecked(true);
        setting.m_cap->setText(cap);
        setting.m_plan->setText(plan);
        setting.OnOK();
        QVERIFY(!setting.IsEnded());
        QCOMPARE(shop.boxes.Boxes().size(), 1);
        if (!prompt.isEmpty())
            QCOMPARE(shop.boxes.Texts().first(), prompt);
        Lookup found = Lookup::Failed;
        QVERIFY(!ReturnCharge::Load(&found).on);
    }

    void anOperatorOnlyLooks() {
        DeskShop shop(u"小李"_s, u"操作员"_s);
        ChargeDaysOut(500);
        CLateChargeDlg setting;
        QVERIFY(setting.OnInitDialog());
        QVERIFY(setting.m_on->isChecked());
        QCOMPARE(setting.m_cap->text(), u"5.00"_s);
        QVERIFY(!setting.m_okButton->isEnabled());
        setting.m_on->setChecked(false);
        setting.OnOK();
        QVERIFY(!setting.IsEnded());
        Lookup found = Lookup::Failed;
        QVERIFY(ReturnCharge::Load(&found).on);
    }
};
VORIX_TEST(LateChargeSettingTest)

// 未还影片 shows what each rental would be charged, were it returned today; the same figure as
// the return works out, on either engine.
class OutListChargeTest : public QObject {
    Q_OBJECT
private slots:
    void chargeSoFar() {
        DeskShop shop;
        ChargeDaysOut(2000, 30);
        DeskShop::AddFilm(u"v2"_s, u"vcd"_s, u"十面埋伏"_s); // not "VCD" exactly: the DVD price
        DeskShop::AddFilm(u"M1"_s, u"VCD"_s, u"花样年华"_s);
        DeskShop::AddFilm(u"M2"_s, u"DVD"_s, u"功夫"_s);
        QVERIFY(Db::Exec(
            u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) VALUES "
            "('','V1','零租',47,'2026-12-04','',''), ('','D1','零租',45,'2026-12-07','',''), "
            "('','v2','零租',45,'2026-11-01','',''), ('C1','M1','月租',0,'2026-11-06','',''), "
            "('C1','M2','月租',0,'2026-09-01','','')"_s));
        // Today is 12-07: V1 3 days, 2 at 3.00; D1 none; v2 36 days at 5.00, capped at 20; M1 31
        // days, one period at 30; M2 97 days, three periods at 40.
        COutListDlg list;
        list.show();
        QVERIFY(list.OnInitDialog());
        CAdodc* adodc = list.DataControl();
        QCOMPARE(adodc->headerData(adodc->columnCount() - 1, Qt::Horizontal).toString(), u"超期费(元)"_s);
        QStringList charges;
        for (int row = 0; row < adodc->rowCount(); ++row)
            charges << adodc->data(adodc->index(row, 4)).toString() + u' ' +
                           adodc->data(adodc->index(row, adodc->columnCount() - 1)).toString();
        QCOMPARE(charges,
                 (QStringList{u"V1 6.00"_s, u"D1 0.00"_s, u"v2 20.00"_s, u"M1 30.00"_s, u"M2 120.00"_s}));
        // The return works out the same.
        Back back;
        QVERIFY(back.Film(u"M2"_s, QDate(2026, 12, 7)).Press());
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"-20.00"_s);
    }

    void offShowsNoSuchColumn() {
        DeskShop shop;
        COutListDlg list;
        list.show();
        QVERIFY(list.OnInitDialog());
        QCOMPARE(
            list.DataControl()->headerData(list.DataControl()->columnCount() - 1, Qt::Horizontal).toString(),
            u"联系人"_s); // a per-day rental's contact, the last of the list's own columns
    }
};
VORIX_TEST(OutListChargeTest)
#include "tst_ReturnCharge.moc"
