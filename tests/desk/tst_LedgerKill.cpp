#include "KillPoints.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdoDb.h"
#include "desk/CLendDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "desk/CReturnDlg.h"
#include "desk/CTopUpDlg.h"
#include "desk/ReturnExtras.h"
#include "manage/CClientEditDlg.h"
#include "manage/CClientManageDlg.h"
#include "manage/CFloatDlg.h"
#include "manage/CUndoDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CFloatDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CPriceSettingDlg.h"
#include "ui_CReturnDlg.h"
#include "ui_CTopUpDlg.h"
#include "ui_CUndoDlg.h"

#include <QRadioButton>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// A lending made before the kill points, as the clerk makes it.
void LendForKill(CLendDlg& lend, const QString& client, const QString& film, const QString& deposit) {
    lend.OnInitDialog();
    if (!deposit.isEmpty()) {
        Pick(lend.Form()->typeCombo, u"零租"_s);
        lend.Form()->depositEdit->setText(deposit);
    } else {
        lend.Form()->clientEdit->setText(client);
    }
    lend.Form()->filmEdit->setText(film);
    lend.OnOK();
    QVERIFY(lend.IsEnded());
}

// The rows the kill points compare.
const QList<QByteArray> kLedgerSelects = KillPoints::WholeTables(
    {"Client", "Film", "Record", "Setting", "Ledger", "RentContact", "DeskAction", "DrawerFloat"});

KillPoints::Run RunLedgerChild(const QString& action, int killAt) {
    return KillPoints::RunChild(u"LedgerKillChild"_s, action, killAt, kLedgerSelects);
}
} // namespace

// Every action that moves money writes its ledger rows in its own transaction: killed at any of
// its statements, the file holds the action and its rows, or neither.
class LedgerKillTest : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhereLeavesBothOrNeither_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("kinds"); // the ledger's new rows, in order
        QTest::newRow("lend monthly") << u"lend-monthly"_s << u"月租扣款"_s;
        QTest::newRow("lend per day") << u"lend-daily"_s << u"零租租金,收押金"_s;
        QTest::newRow("return per day") << u"return-daily"_s << u"退押金"_s;
        QTest::newRow("return per day, charged") << u"return-charged"_s << u"退押金,超期租金,减免,赔偿"_s;
        QTest::newRow("return monthly, charged") << u"return-monthly-charged"_s << u"超期扣款,赔偿"_s;
        QTest::newRow("top-up") << u"top-up"_s << u"充值"_s;
        QTest::newRow("new client") << u"new-client"_s << u"开户押金,充值"_s;
        QTest::newRow("prices") << u"prices"_s << u"改价"_s;
        QTest::newRow("delete client") << u"delete-client"_s << u"删除客户"_s;
        QTest::newRow("top-up at the desk") << u"top-up-desk"_s << u"充值"_s;
        // The action undone was done before the kill points: its rows come first.
        QTest::newRow("undo lend per day") << u"undo-lend"_s << u"零租租金,收押金,零租租金,收押金"_s;
        QTest::newRow("undo lend monthly") << u"undo-lend-monthly"_s << u"月租扣款,月租扣款"_s;
        QTest::newRow("undo return") << u"undo-return"_s << u"退押金,退押金"_s;
        QTest::newRow("undo return monthly, charged")
            << u"undo-return-monthly-charged"_s << u"超期扣款,赔偿,超期扣款,赔偿"_s;
        QTest::newRow("opening float") << u"float"_s << QString();
    }
    void killedAnywhereLeavesBothOrNeither() {
        QFETCH(QString, action);
        QFETCH(QString, kinds);
        const KillPoints::Run before = RunLedgerChild(action, 0);
        QVERIFY2(before.killed, before.output.constData());
        QList<KillPoints::Run> killed;
        KillPoints::Run finished;
        for (int at = 1; at < 30; ++at) {
            KillPoints::Run run = RunLedgerChild(action, at);
            if (!run.killed) {
                finished = run;
                break;
            }
            killed << run;
        }
        QVERIFY2(!finished.snapshot.isEmpty() && finished.output.contains("PASS   : LedgerKillChild::act()"),
                 finished.output.constData());
        QVERIFY(finished.snapshot != before.snapshot);
        // The ledger's rows of the action, after the fixture's: the kinds in order.
        QStringList written;
        const QString ledger = finished.snapshot.section(u"--\n"_s, 4, 4);
        for (const QString& row : ledger.split(u'\n', Qt::SkipEmptyParts))
            written << row.section(u'|', 4, 4);
        QCOMPARE(written.join(u','), kinds);
        QVERIFY(killed.size() >= 2); // at the first write and at the commit, at least
        for (int i = 0; i < killed.size(); ++i) {
            QVERIFY2(killed[i].snapshot == before.snapshot,
                     qPrintable(u"killed at write %1:\n%2"_s.arg(i + 1).arg(killed[i].snapshot)));
        }
    }
};
VORIX_TEST_ON_FILE_ONLY(LedgerKillTest)

// The child of the test above, in the shop of its working folder.
class LedgerKillChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        const QString action = KillPoints::ChildAction();
        if (action.isEmpty())
            QSKIP("runs as a child of LedgerKillTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Type) VALUES ('V1','英雄','VCD'), "
                         "('D1','无间道','DVD'), ('D2','功夫','DVD')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID,CreateDate,Foregift,Balance) VALUES "
                         "('C1','2026-01-01',50,100)"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
                         "VALUES ('','D2','零租',45,'2026-12-01','','Admin')"_s));
        if (action.endsWith(u"-charged"_s)) {
            // The shop charges the days out; a month's plan has been out since 11-01.
            QVERIFY(Db::Exec(u"INSERT INTO Options (Name,Value) VALUES ('LateCharge','1')"_s));
            QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Type) VALUES ('M1','花样年华','DVD')"_s));
            QVERIFY(
                Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
                         "VALUES ('C1','M1','月租',0,'2026-11-01','','Admin')"_s));
        }
        if (action == u"undo-lend"_s) {
            CLendDlg lend;
            LendForKill(lend, QString(), u"D1"_s, u"50"_s);
        } else if (action == u"undo-lend-monthly"_s) {
            CLendDlg lend;
            LendForKill(lend, u"C1"_s, u"V1"_s, QString());
        } else if (action == u"undo-return"_s) {
            CReturnDlg back;
            back.OnInitDialog();
            back.Form()->filmEdit->setText(u"D2"_s);
            back.OnOK();
            QVERIFY(back.IsEnded());
            boxes.Clear();
        } else if (action == u"undo-return-monthly-charged"_s) {
            // M1 back: one more month from the balance, 2.00 damage in cash.
            CReturnDlg back;
            back.OnInitDialog();
            back.Form()->filmEdit->setText(u"M1"_s);
            back.Extras()->damage->setText(u"2"_s);
            back.Extras()->damageReason->setText(u"划伤"_s);
            back.Extras()->inCash->setChecked(true);
            back.OnOK();
            QVERIFY(back.IsEnded());
            boxes.Clear();
        }
        if (KillPoints::KillAt() == 0)
            std::raise(SIGKILL); // the shop before the action
        KillPoints::Arm();
        if (action.startsWith(u"undo-"_s)) {
            ModalScript script([](CDialog& dialog) {
                auto* undo = dynamic_cast<CUndoDlg*>(&dialog);
                QVERIFY(undo);
                undo->Form()->reasonEdit->setText(u"拿错了"_s);
                undo->OnOK();
            });
            QString done;
            QVERIFY(CUndoDlg::UndoLast(nullptr, &done));
        } else if (action == u"lend-monthly"_s || action == u"lend-daily"_s) {
            CLendDlg lend;
            lend.OnInitDialog();
            if (action == u"lend-daily"_s) {
                Pick(lend.Form()->typeCombo, u"零租"_s);
                lend.Form()->filmEdit->setText(u"D1"_s);
                lend.Form()->depositEdit->setText(u"50"_s);
            } else {
                lend.Form()->clientEdit->setText(u"C1"_s);
                lend.Form()->filmEdit->setText(u"V1"_s);
            }
            lend.OnOK();
            QVERIFY(lend.IsEnded());
        } else if (action == u"return-daily"_s) {
            CReturnDlg back;
            back.OnInitDialog();
            back.Form()->filmEdit->setText(u"D2"_s);
            back.OnOK();
            QVERIFY(back.IsEnded());
        } else if (action.endsWith(u"-charged"_s)) {
            // D2: 6 days at 5.00, 5.00 let off, 3.00 damage in cash; M1: one more month, 2.00 damage.
            CReturnDlg back;
            back.OnInitDialog();
            back.Form()->filmEdit->setText(action == u"return-charged"_s ? u"D2"_s : u"M1"_s);
            if (action == u"return-charged"_s) {
                back.Extras()->waiver->setText(u"5"_s);
                back.Extras()->waiverReason->setText(u"老客户"_s);
            }
            back.Extras()->damage->setText(action == u"return-charged"_s ? u"3"_s : u"2"_s);
            back.Extras()->damageReason->setText(u"划伤"_s);
            back.Extras()->inCash->setChecked(true);
            back.OnOK();
            QVERIFY(back.IsEnded());
        } else if (action == u"top-up"_s || action == u"new-client"_s) {
            CClientEditDlg edit;
            if (action == u"top-up"_s)
                edit.m_strID = Db::Value(u"SELECT ID AS v FROM Client WHERE ClientID='C1'"_s);
            QVERIFY(edit.OnInitDialog());
            if (action == u"top-up"_s) {
                edit.Form()->balanceEdit->setText(u"150"_s);
            } else {
                edit.Form()->clientEdit->setText(u"C9"_s);
            }
            edit.OnOK();
            QVERIFY(edit.IsEnded());
        } else if (action == u"prices"_s) {
            CPriceSettingDlg prices;
            QVERIFY(prices.OnInitDialog());
            prices.Form()->monthVcdEdit->setText(u"35"_s);
            prices.OnOK();
            QVERIFY(prices.IsEnded());
        } else if (action == u"top-up-desk"_s) {
            CTopUpDlg topUp;
            topUp.m_strClientID = u"C1"_s;
            topUp.OnInitDialog();
            topUp.Form()->amountEdit->setText(u"25.5"_s);
            topUp.OnOK();
            QVERIFY(topUp.IsEnded());
        } else if (action == u"float"_s) {
            CFloatDlg opening;
            QVERIFY(opening.OnInitDialog());
            opening.Form()->amountEdit->setText(u"200"_s);
            opening.OnOK();
            QVERIFY(opening.IsEnded());
        } else if (action == u"delete-client"_s) {
            CClientManageDlg clients;
            clients.OnInitDialog();
            boxes.Answer(IDYES);
            boxes.Answer(IDYES);
            clients.OnDelete();
            QCOMPARE(Db::Count(u"Client"_s), 0);
        }
        QCOMPARE(boxes.Boxes().size(), action.startsWith(u"return"_s) || action == u"delete-client"_s
                                           ? (action == u"delete-client"_s ? 2 : 1)
                                           : 0);
    }
};
VORIX_TEST(LedgerKillChild)
#include "tst_LedgerKill.moc"
