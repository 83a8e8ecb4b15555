#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/DrawerFloat.h"
#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "desk/CTopUpDlg.h"
#include "manage/CDayEndDlg.h"
#include "manage/CFloatDlg.h"
#include "manage/CUndoDlg.h"
#include "ui_CDayEndDlg.h"
#include "ui_CFloatDlg.h"
#include "ui_CReturnDlg.h"
#include "ui_CTopUpDlg.h"
#include "ui_CUndoDlg.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace {
// 日结 of today as the shell opens it, the float asked as the script says; the cash counted.
struct DayEnd {
    QStringList asked;
    CDayEndDlg window;
    explicit DayEnd(const QString& floatTyped) {
        ModalScript script([this, floatTyped](CDialog& dialog) {
            auto* ask = dynamic_cast<CFloatDlg*>(&dialog);
            QVERIFY(ask);
            asked << ask->windowTitle();
            if (floatTyped.isEmpty())
                return ask->OnCancel();
            ask->Form()->amountEdit->setText(floatTyped);
            ask->OnOK();
        });
        window.m_bAskFloat = true;
        window.OnInitDialog();
    }
    QString Float() const { return window.findChild<QLabel*>(u"floatValue"_s)->text(); }
    QString Against(const QString& counted) {
        window.Form()->countedEdit->setText(counted);
        return window.Form()->differenceValue->text();
    }
};
} // namespace

// The opening float (备用金): entered once per day and desk at the day's first 日结, so that
// 应有现金 is what the drawer really holds.
class DayEndFloatTest : public QObject {
    Q_OBJECT
private slots:
    void askedOnceThenCountedIn() {
        DeskShop desk;
        {
            DayEnd later{QString()}; // "以后再说": nothing entered, asked again next time
            QCOMPARE(later.asked, QStringList{u"备用金"_s});
            QCOMPARE(later.Float(), u"未登记"_s);
        }
        DayEnd first(u"200"_s);
        QCOMPARE(first.asked, QStringList{u"备用金"_s});
        QCOMPARE(first.Float(), u"200.00 元"_s);
        QCOMPARE(first.window.Form()->expectedValue->text(), u"200.00 元"_s);
        QCOMPARE(Db::Row(u"SELECT Day, Desk, OptUser, Fen FROM DrawerFloat"_s),
                 u"2026-12-07 %1 Admin 20000"_s.arg(DrawerFloat::ThisDesk()));
        DayEnd second(u"999"_s);
        QCOMPARE(second.asked, QStringList());
        QCOMPARE(second.Float(), u"200.00 元"_s);
        // Another day has none.
        second.window.Form()->dateEdit->setDate(QDate(2026, 12, 6));
        QCOMPARE(second.Float(), u"未登记"_s);
        QCOMPARE(desk.boxes.Texts(), QStringList());
    }

    // A day of the desk's work, counted by hand: the float, a monthly lending (no cash), a per-day
    // lending of 50.00 (5.00 price, 45.00 held), a top-up of 30.00, a per-day return handing back
    // 45.00 of an earlier rental, and an undone per-day lending of 20.00 (3.00 price, 17.00 held).
    void theDrawerAgreesWithTheCashCountedByHand() {
        DeskShop desk;
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        DeskShop::AddFilm(u"V2"_s, u"VCD"_s, u"十面埋伏"_s);
        DeskShop::AddOutRental(u"D2"_s, QString(), u"零租"_s, 45);
        { DayEnd opening(u"300"_s); }
        CLendDlg monthly;
        LendAsClerk(monthly, u"C1"_s, u"V1"_s);
        CLendDlg daily;
        LendAsClerk(daily, QString(), u"D1"_s, u"50"_s);
        CTopUpDlg topUp;
        topUp.m_strClientID = u"C1"_s;
        topUp.OnInitDialog();
        topUp.Form()->amountEdit->setText(u"30"_s);
        topUp.OnOK();
        QVERIFY(topUp.IsEnded());
        CReturnDlg back;
        back.OnInitDialog();
        back.Form()->filmEdit->setText(u"D2"_s);
        back.OnOK();
        QVERIFY(back.IsEnded());
        CLendDlg mistake;
        LendAsClerk(mistake, QString(), u"V2"_s, u"20"_s);
        {
            ModalScript script([](CDialog& dialog) {
                auto* undo = dynamic_cast<CUndoDlg*>(&dialog);
                QVERIFY(undo);
                undo->Form()->reasonEdit->setText(u"拿错了"_s);
                undo->OnOK();
            });
            QString done;
            QVERIFY(CUndoDlg::UndoLast(nullptr, &done));
        }
        const qint64 byHand = 30000 + 5000 + 3000 - 4500 + 2000 - 2000;
        DayEnd evening(u"999"_s);
        QCOMPARE(evening.asked, QStringList());
        QCOMPARE(evening.window.Form()->expectedValue->text(), u"%1.00 元"_s.arg(byHand / 100));
        QCOMPARE(evening.Against(QString::number(byHand / 100)), u"相符"_s);
        QCOMPARE(evening.Against(u"330"_s), u"短款 5.00 元"_s);
    }
};
VORIX_TEST(DayEndFloatTest)
#include "tst_DayEndFloat.moc"
