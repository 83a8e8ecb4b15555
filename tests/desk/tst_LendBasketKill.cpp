#include "KillPoints.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "desk/CLendBasketDlg.h"
#include "ui_CLendBasketDlg.h"

#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {
const QList<QByteArray> kLendBasketSelects =
    KillPoints::WholeTables({"Client", "Film", "Record", "Ledger", "DeskAction", "Reservation"});

KillPoints::Run RunLendBasketChild(int killAt) {
    return KillPoints::RunChild(u"BasketKillChild"_s, u"basket"_s, killAt, kLendBasketSelects);
}
} // namespace

// Three films lent to one client in one basket, killed at any of its writes: the file holds all
// three lendings with their rows, or none of them.
class BasketKillTest : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhereLeavesAllThreeOrNone() {
        const KillPoints::Run before = RunLendBasketChild(0);
        QVERIFY2(before.killed, before.output.constData());
        QList<KillPoints::Run> killed;
        KillPoints::Run finished;
        for (int at = 1; at < 40; ++at) {
            KillPoints::Run run = RunLendBasketChild(at);
            if (!run.killed) {
                finished = run;
                break;
            }
            killed << run;
        }
        QVERIFY2(finished.output.contains("PASS   : BasketKillChild::act()"), finished.output.constData());
        // The rentals after the fixture's: the three films, each out to C1.
        const QString rentals = finished.snapshot.section(u"--\n"_s, 2, 2);
        QCOMPARE(rentals.count(u"|C1|"_s), 3);
        QCOMPARE(finished.snapshot.section(u"--\n"_s, 3, 3).count(u"月租扣款"_s), 3);
        // Per film: its action, the balance, the count, the rental, the ledger, the action's end.
        QVERIFY2(killed.size() >= 3 * 6, qPrintable(QString::number(killed.size())));
        for (int i = 0; i < killed.size(); ++i)
            QVERIFY2(killed[i].snapshot == before.snapshot,
                     qPrintable(u"killed at write %1:\n%2"_s.arg(i + 1).arg(killed[i].snapshot)));
    }
};
VORIX_TEST_ON_FILE_ONLY(BasketKillTest)

// The child of the test above, in the shop of its working folder.
class BasketKillChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        if (KillPoints::ChildAction().isEmpty())
            QSKIP("runs as a child of BasketKillTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Type) VALUES ('V1','英雄','VCD'), "
                         "('D1','无间道','DVD'), ('D2','功夫','DVD')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID,CreateDate,Foregift,Balance) VALUES "
                         "('C1','2026-01-01',50,200)"_s));
        // D2 was reserved by C1: the basket takes his reservation with it.
        QVERIFY(Db::Exec(u"INSERT INTO Reservation (ClientID,FilmName,AskDate,State,HeldFilmID,HeldUntil) "
                         "VALUES('C1','功夫','2026-12-01','已留片','D2','2026-12-09')"_s));
        CLendBasketDlg basket;
        basket.m_strClientID = u"C1"_s;
        basket.m_films = QStringList{u"V1"_s, u"D1"_s, u"D2"_s};
        basket.OnInitDialog();
        if (KillPoints::KillAt() == 0)
            std::raise(SIGKILL); // the shop before the lending
        KillPoints::Arm();
        basket.OnOK();
        QVERIFY(basket.IsEnded());
        QCOMPARE(boxes.Texts(), QStringList());
    }
};
VORIX_TEST(BasketKillChild)
#include "tst_LendBasketKill.moc"
