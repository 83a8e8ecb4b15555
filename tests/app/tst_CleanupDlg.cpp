#include "Shell.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CCleanupDlg.h"
#include "ui_CCleanupDlg.h"

using namespace Shell;

namespace {
// Two returned and one out rental of each plan, two clients, two films.
struct CleanupShop {
    TempShop shop;
    BoxRecorder boxes;
    SignedIn user;

    explicit CleanupShop(const QString& type = QStringLiteral("管理员"))
        : user(QStringLiteral("someone"), type) {
        for (const char* sql :
             {"INSERT INTO Film (FilmID) VALUES('F1'),('F2')",
              "INSERT INTO Client (ClientID) VALUES('C1'),('C2')",
              "INSERT INTO Record (ClientID,FilmID,Type,ReturnDate) VALUES"
              "('C1','F1','月租','2026-01-02'),('C2','F2','月租','2026-01-03'),('C1','F1','月租',''),"
              "('','F1','零租','2026-01-04'),('','F2','零租','2026-01-05'),('','F2','零租','')",
              "INSERT INTO Ledger (At,Kind,Fen,RentID) VALUES('2026-01-02 10:00:00','月租扣款',3000,1),"
              "('2026-01-04 10:00:00','收押金',4500,4),('2026-01-04 11:00:00','退押金',4500,4)"})
            QVERIFY(Db::Exec(QString::fromUtf8(sql)));
    }
    // Per plan: the rows left, out rows after a slash.
    static QString Left() {
        return Db::Value(QStringLiteral(
            "SELECT (SELECT count(*) FROM Record WHERE Type='月租')||'/'||(SELECT count(*) FROM Record WHERE "
            "Type='月租' AND ReturnDate='')||' '||(SELECT count(*) FROM Record WHERE "
            "Type='零租')||'/'||(SELECT "
            "count(*) FROM Record WHERE Type='零租' AND ReturnDate='')||' '||(SELECT count(*) FROM "
            "Client)||' '||"
            "(SELECT count(*) FROM Film) AS v"));
    }
};

struct Cleanup {
    CCleanupDlg dlg;
    Cleanup() {
        dlg.show();
        dlg.OnInitDialog();
    }
    Ui::CCleanupDlg& f() { return *dlg.Form(); }
    void Tick(bool monthly, bool daily) {
        if (monthly)
            QTest::mouseClick(f().monthlyCheck, Qt::LeftButton);
        if (daily)
            QTest::mouseClick(f().dailyCheck, Qt::LeftButton);
    }
    void Press() { QTest::mouseClick(f().okButton, Qt::LeftButton); }
};

const QString kConfirm = QStringLiteral("是否清理,清理后数据将不可恢复,建议清理前备份数据库?");
const QString kAll = QStringLiteral("3/1 3/1 2 2");
} // namespace

class CleanupDlgTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ResetSession(); }

    void openedFromTheDatabaseMenu() {
        TempShop shop;
        Frame frame;
        QStringList opened;
        ModalScript script(NoteAndCancel(&opened));
        frame->Action(RowOf(&CMainFrame::OnCleanup))->trigger();
        QCOMPARE(opened, QStringList{QStringLiteral("CCleanupDlg")});

        Cleanup c;
        QCOMPARE(c.dlg.windowTitle(), QStringLiteral("数据库整理"));
        QCOMPARE(c.f().recordGroup->title(), QStringLiteral("租借记录整理"));
        QCOMPARE(c.f().monthlyCheck->text(), QStringLiteral("清除已还月租记录"));
        QCOMPARE(c.f().dailyCheck->text(), QStringLiteral("清除已还零租记录"));
        QCOMPARE(c.f().okButton->text(), QStringLiteral("整理"));
        QCOMPARE(c.f().cancelButton->text(), QStringLiteral("取消"));
        QVERIFY(!c.f().monthlyCheck->isChecked() && !c.f().dailyCheck->isChecked());
        QVERIFY(c.f().okButton->isEnabled());
    }

    void purgesReturnedRentalsByPlan_data() {
        QTest::addColumn<bool>("monthly");
        QTest::addColumn<bool>("daily");
        QTest::addColumn<QString>("left");
        QTest::newRow("monthly") << true << false << "1/1 3/1 2 2";
        QTest::newRow("daily") << false << true << "3/1 1/1 2 2";
        QTest::newRow("both") << true << true << "1/1 1/1 2 2";
    }
    void purgesReturnedRentalsByPlan() {
        QFETCH(bool, monthly);
        QFETCH(bool, daily);
        QFETCH(QString, left);
        CleanupShop shop;
        Cleanup c;
        c.Tick(monthly, daily);
        shop.boxes.Answer(IDYES);
        c.Press();
        QCOMPARE(shop.boxes.Texts(), (QStringList{kConfirm, QStringLiteral("清理完成!")}));
        QCOMPARE(shop.boxes.Boxes().at(0).caption, QStringLiteral("请确认"));
        QCOMPARE(shop.boxes.Boxes().at(0).buttons, MsgButtons::YesNo);
        QCOMPARE(shop.boxes.Boxes().at(0).defaultButton, IDNO); // Enter keeps the rentals
        QCOMPARE(shop.boxes.Boxes().at(1).caption, QStringLiteral("完成"));
        QCOMPARE(shop.boxes.Boxes().at(1).icon, MsgIcon::Information);
        QVERIFY(c.dlg.IsEnded());
        QCOMPARE(c.dlg.Result(), int(IDOK));
        QCOMPARE(CleanupShop::Left(), left);
        QCOMPARE(Db::Count(QStringLiteral("Ledger")), 3); // the money's record outlives the rentals
    }

    // The reservations waiting and held are no rentals: 整理 leaves them as they are.
    void leavesTheOpenReservations() {
        CleanupShop shop;
        QVERIFY(Db::Exec(QStringLiteral(
            "INSERT INTO Reservation (ClientID,FilmName,AskDate,State,HeldFilmID,HeldUntil) VALUES "
            "('C1','片','2026-01-01','已留片','F1','2026-01-09'),('C2','片','2026-01-01','等待','','')")));
        Cleanup c;
        c.Tick(true, true);
        shop.boxes.Answer(IDYES);
        c.Press();
        QVERIFY(c.dlg.IsEnded());
        QCOMPARE(Db::Rows(QStringLiteral("SELECT ClientID, State, HeldFilmID FROM Reservation ORDER BY ID"),
                          QLatin1Char('|'), QLatin1Char('\n')),
                 QStringLiteral("C1|已留片|F1\nC2|等待|"));
    }

    void nothingChosenOrNotConfirmedDeletesNothing() {
        CleanupShop shop;
        Cleanup c;
        c.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{QStringLiteral("未选择清理选项!")});
        QCOMPARE(shop.boxes.Boxes().at(0).caption, QStringLiteral("提示"));
        QCOMPARE(shop.boxes.Boxes().at(0).icon, MsgIcon::Warning);
        shop.boxes.Clear();
        c.Tick(true, true);
        shop.boxes.Answer(IDNO);
        c.Press();
        QCOMPARE(shop.boxes.Texts(), QStringList{kConfirm});
        QVERIFY(!c.dlg.IsEnded());
        QVERIFY(c.f().monthlyCheck->isChecked() && c.f().dailyCheck->isChecked());
        QCOMPARE(CleanupShop::Left(), kAll);
    }

    void onlyAnAdministratorCleansUp() {
        CleanupShop shop(QStringLiteral("普通用户"));
        Cleanup c;
        QVERIFY(!c.f().okButton->isEnabled());
        c.Tick(true, true);
        QVERIFY(c.f().monthlyCheck->isChecked() && c.f().dailyCheck->isChecked());
        shop.boxes.Answer(IDYES);
        c.Press();
        c.dlg.OnOK(); // Enter on the disabled button
        QCOMPARE(shop.boxes.Texts(), QStringList());
        QCOMPARE(CleanupShop::Left(), kAll);
    }

    // "清理完成!" only after purges that succeeded; the monthly purge before the failure stays done.
    void failedPurgeIsNotReportedAsDone() {
        CleanupShop shop;
        QVERIFY(
            Db::Exec(QStringLiteral("CREATE TRIGGER KeepDaily BEFORE DELETE ON Record WHEN OLD.Type='零租' "
                                    "BEGIN SELECT RAISE(ABORT, 'kept'); END")));
        Cleanup c;
        c.Tick(true, true);
        shop.boxes.Answer(IDYES);
        c.Press();
        QCOMPARE(shop.boxes.Texts().size(), 2);
        QCOMPARE(shop.boxes.Texts().at(0), kConfirm);
        QVERIFY2(shop.boxes.Texts().at(1).contains(QLatin1String("kept")),
                 qPrintable(shop.boxes.Texts().at(1)));
        QVERIFY(!c.dlg.IsEnded());
        QCOMPARE(CleanupShop::Left(), QStringLiteral("1/1 3/1 2 2"));
    }
};

VORIX_TEST(CleanupDlgTest)
#include "tst_CleanupDlg.moc"
