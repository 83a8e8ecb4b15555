#include "DeskFixture.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "data/CLedgerInfo.h"
#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "desk/CTopUpDlg.h"
#include "manage/CDayEndDlg.h"
#include "manage/CRecordManageDlg.h"
#include "manage/CUndoDlg.h"
#include "ui_CDayEndDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"
#include "ui_CTopUpDlg.h"
#include "ui_CUndoDlg.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
void Return(const QString& film) {
    CReturnDlg back;
    back.OnInitDialog();
    back.Form()->filmEdit->setText(film);
    back.OnOK();
    QVERIFY(back.IsEnded());
}

// The undo dialog, filled with the reason and confirmed; whether it closed is the run's result.
CDialog::ModalRunner Reason(const QString& reason, QStringList* named = nullptr) {
    return [reason, named](CDialog& dialog) {
        auto* undo = dynamic_cast<CUndoDlg*>(&dialog);
        QVERIFY(undo);
        if (named)
            *named << undo->Form()->actionLabel->text();
        undo->Form()->reasonEdit->setText(reason);
        undo->OnOK();
    };
}

// 撤销 of the status line (and the menu): the operator's last action of today.
bool UndoLast(const QString& reason, QString* done = nullptr, QStringList* named = nullptr) {
    ModalScript script(Reason(reason, named));
    QString text;
    const bool undone = CUndoDlg::UndoLast(nullptr, &text);
    if (done)
        *done = text;
    return undone;
}

// 撤销 of the rental window, on the row of that rental.
void UndoFromRentalWindow(int rentId, const QString& reason) {
    CRecordManageDlg records;
    QVERIFY(records.OnInitDialog());
    CAdodc* rows = records.DataControl();
    int row = -1;
    for (int r = 0; r < rows->rowCount(); ++r) {
        if (rows->data(rows->index(r, 0)).toString() == QString::number(rentId))
            row = r;
    }
    QVERIFY(row >= 0);
    rows->SetCurrentRow(row);
    ModalScript script(Reason(reason));
    records.findChild<QPushButton*>(u"undoButton"_s)->click();
}

QString UndoLedgerRows() {
    return Db::Value(
        u"SELECT group_concat(Kind||':'||Fen, ',') AS v FROM (SELECT * FROM Ledger ORDER BY ID)"_s);
}

int LastRent() {
    return Db::Value(u"SELECT MAX(ID) AS v FROM Record"_s).toInt();
}

// 日结 of today for everyone, with the cash counted by hand; what its difference says.
QString DayEndAgainst(const QString& counted, QString* expected = nullptr) {
    CDayEndDlg dayEnd;
    dayEnd.OnInitDialog();
    dayEnd.Form()->countedEdit->setText(counted);
    if (expected)
        *expected = dayEnd.Form()->expectedValue->text();
    return dayEnd.Form()->differenceValue->text();
}
} // namespace

// 撤销: a lending or a return of today put back exactly, its money reversed in the ledger, or a
// clear refusal when something has happened since.
class UndoTest : public QObject {
    Q_OBJECT
private slots:
    void aMonthlyLendingIsPutBackWhole() {
        DeskShop desk;
        const QString before = DeskShop::Snapshot();
        CLendDlg lend;
        LendAsClerk(lend, u"C1"_s, u"V1"_s);
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"70.00"_s);
        QString done;
        QStringList named;
        QVERIFY(UndoLast(u"拿错了影片"_s, &done, &named));
        QCOMPARE(named, QStringList{u"撤销这笔操作:借出 V1 给 C1(15:30)"_s});
        QCOMPARE(done, u"已撤销 借出 V1 给 C1(15:30),原因:拿错了影片"_s);
        QCOMPARE(DeskShop::Snapshot(), before); // balance, count and rental as they were
        QCOMPARE(desk.boxes.Texts(), QStringList());
        // Nothing leaves the ledger: the row again, of the opposite sign, naming what and why.
        QCOMPARE(UndoLedgerRows(), u"月租扣款:3000,月租扣款:-3000"_s);
        QCOMPARE(Db::Value(u"SELECT Note||'|'||OptUser AS v FROM Ledger WHERE Fen<0"_s),
                 u"撤销借出(#1):拿错了影片|Admin"_s);
        QCOMPARE(Db::Row(u"SELECT UndoneBy, Reason FROM DeskAction"_s), u"Admin 拿错了影片"_s);
        // The same film lends again at once.
        CLendDlg again;
        LendAsClerk(again, u"C1"_s, u"V1"_s);
        QCOMPARE(DeskShop::Degree(u"V1"_s), 1);
    }

    void aPerDayReturnThenItsLendingAreUndoneAndTheDayAddsUp() {
        DeskShop desk;
        const QString before = DeskShop::Snapshot();
        CLendDlg lend;
        lend.OnInitDialog();
        Pick(lend.Form()->typeCombo, u"零租"_s);
        lend.Form()->filmEdit->setText(u"D1"_s);
        lend.Form()->depositEdit->setText(u"50"_s);
        lend.findChild<QLineEdit*>(u"contactPhoneEdit"_s)->setText(u"13800000000"_s);
        lend.OnOK();
        QVERIFY(lend.IsEnded());
        const QString lent = DeskShop::Snapshot();
        Return(u"D1"_s);
        QString done;
        QVERIFY(UndoLast(u"还错了"_s, &done));
        QCOMPARE(done, u"已撤销 还回 D1(15:30),原因:还错了"_s);
        QCOMPARE(DeskShop::Snapshot(), lent); // out again, the deposit held again
        QVERIFY(UndoLast(u"客人不租了"_s));
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(Db::Count(u"RentContact"_s), 0);
        QCOMPARE(UndoLedgerRows(),
                 u"零租租金:500,收押金:4500,退押金:4500,退押金:-4500,零租租金:-500,收押金:-4500"_s);
        // The drawer holds what it held: 50.00 in, 45.00 out, 45.00 back in and 50.00 back out.
        QString expected;
        QCOMPARE(DayEndAgainst(u"0"_s, &expected), u"相符"_s);
        QCOMPARE(expected, u"0.00 元"_s);
        desk.boxes.Clear();
        QVERIFY(!UndoLast(u"再撤一次"_s));
        QCOMPARE(desk.boxes.Texts(), QStringList{u"您今天没有可以撤销的借出或还回。"_s});
    }

    void aReturnGivesTheRentalBackToItsLender() {
        DeskShop desk;
        DeskShop::AddOutRental(u"D1"_s, QString(), u"零租"_s, 45);
        const QString before = DeskShop::Snapshot();
        Return(u"D1"_s);
        UndoFromRentalWindow(LastRent(), u"点错了"_s);
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(Db::Value(u"SELECT OptUser AS v FROM Record"_s), u"lender"_s);
        QCOMPARE(UndoLedgerRows(), u"退押金:4500,退押金:-4500"_s);
    }

    // With the days out charged, a return also takes a month from the balance: undone, the
    // balance is back and the charge is written again with the opposite sign, whatever its kind.
    void aChargedReturnIsUndoneWithItsCharge() {
        DeskShop desk;
        QVERIFY(Db::Exec(u"INSERT INTO Options (Name,Value) VALUES ('LateCharge','1')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
                         "VALUES ('C1','V1','月租',0,'2026-11-01','','lender')"_s));
        const QString before = DeskShop::Snapshot();
        Return(u"V1"_s);
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"70.00"_s);
        QVERIFY(UndoLast(u"还错了"_s));
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(UndoLedgerRows(), u"超期扣款:3000,超期扣款:-3000"_s);
    }

    void whatHappenedSinceIsNeverUndoneWithIt() {
        DeskShop desk;
        // The film lent again after its return.
        DeskShop::AddOutRental(u"D1"_s, QString(), u"零租"_s, 45);
        const int first = LastRent();
        Return(u"D1"_s);
        CLendDlg lend;
        LendAsClerk(lend, u"C1"_s, u"D1"_s);
        QString snapshot = DeskShop::Snapshot();
        desk.boxes.Clear();
        UndoFromRentalWindow(first, u"点错了"_s);
        QCOMPARE(desk.boxes.Texts(), QStringList{u"影片 D1 还回之后又已借出,不能撤销这次还回。"_s});
        QCOMPARE(DeskShop::Snapshot(), snapshot);
        desk.boxes.Clear();
        // The client's balance changed by a top-up after the lending.
        CTopUpDlg topUp;
        topUp.m_strClientID = u"C1"_s;
        topUp.OnInitDialog();
        topUp.Form()->amountEdit->setText(u"10"_s);
        topUp.OnOK();
        QVERIFY(topUp.IsEnded());
        snapshot = DeskShop::Snapshot();
        QVERIFY(!UndoLast(u"拿错了"_s));
        QCOMPARE(desk.boxes.Texts(),
                 QStringList{u"客户 C1 的余额在这笔操作之后又有变动,撤销会把那次变动一并抹去,不能撤销。"_s});
        QCOMPARE(DeskShop::Snapshot(), snapshot);
        desk.boxes.Clear();
        // A lending returned since: its return first.
        CLendDlg other;
        LendAsClerk(other, u"C1"_s, u"V1"_s);
        const int lent = LastRent();
        Return(u"V1"_s);
        desk.boxes.Clear();
        const int lendAction =
            Db::Value(u"SELECT ID AS v FROM DeskAction WHERE Kind='借出' AND RentID=%1"_s.arg(lent)).toInt();
        CUndoDlg undo;
        undo.m_nActionID = lendAction;
        undo.OnInitDialog();
        undo.Form()->reasonEdit->setText(u"拿错了"_s);
        undo.OnOK();
        QVERIFY(!undo.IsEnded());
        QCOMPARE(desk.boxes.Texts(), QStringList{u"影片 V1 借出之后已经还回,请先撤销那次还回。"_s});
        desk.boxes.Clear();
        // An exchange since: the rental holds another film now.
        CLendDlg third;
        LendAsClerk(third, u"C1"_s, u"V1"_s);
        DeskShop::AddFilm(u"D2"_s, u"DVD"_s, u"功夫"_s);
        CExchangeDlg exchange;
        exchange.OnInitDialog();
        exchange.Form()->oldFilmEdit->setText(u"V1"_s);
        exchange.Form()->newFilmEdit->setText(u"D2"_s);
        desk.boxes.Answer(IDYES);
        exchange.OnOK();
        QVERIFY(exchange.IsEnded());
        desk.boxes.Clear();
        QVERIFY(!UndoLast(u"拿错了"_s));
        QCOMPARE(desk.boxes.Texts(), QStringList{u"这次借出之后影片已更换为 D2,不能撤销。"_s});
    }

    void onlyTheOperatorWhoDidItOrAnAdministratorUndoesToday() {
        DeskShop desk(u"Amy"_s, u"操作员"_s);
        CLendDlg lend;
        LendAsClerk(lend, u"C1"_s, u"V1"_s);
        const QString lent = DeskShop::Snapshot();
        Session::Current().SignIn(u"Bob"_s, u"操作员"_s);
        QVERIFY(!UndoLast(u"拿错了"_s));
        UndoFromRentalWindow(LastRent(), u"拿错了"_s);
        QCOMPARE(desk.boxes.Texts(), (QStringList{u"您今天没有可以撤销的借出或还回。"_s,
                                                  u"只有做这笔操作的操作员 Amy 或管理员才能撤销它。"_s}));
        QCOMPARE(DeskShop::Snapshot(), lent);
        desk.boxes.Clear();
        // A reason is required.
        Session::Current().SignIn(u"Amy"_s, u"操作员"_s);
        QVERIFY(!UndoLast(u"  "_s));
        QCOMPARE(desk.boxes.Texts(), QStringList{u"请填写撤销的原因。"_s});
        desk.boxes.Clear();
        // Tomorrow it stands.
        {
            const FixedClock tomorrow(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
            UndoFromRentalWindow(LastRent(), u"拿错了"_s);
            QCOMPARE(desk.boxes.Texts(), QStringList{u"只能撤销今天的借出和还回。"_s});
            QCOMPARE(DeskShop::Snapshot(), lent);
        }
        desk.boxes.Clear();
        const FixedClock today(QDateTime(QDate(2026, 12, 7), QTime(16, 0)));
        Session::Current().SignIn(u"Boss"_s, u"管理员"_s);
        UndoFromRentalWindow(LastRent(), u"店长撤销"_s);
        QCOMPARE(desk.boxes.Texts(), QStringList());
        QCOMPARE(DeskShop::Balance(u"C1"_s), u"100.00"_s);
        QCOMPARE(Db::Row(u"SELECT OptUser, UndoneBy FROM DeskAction"_s), u"Amy Boss"_s);
    }
};
VORIX_TEST(UndoTest)
#include "tst_Undo.moc"
