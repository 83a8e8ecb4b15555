#include "KillPoints.h"
#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdoDb.h"
#include "desk/CReturnBasketDlg.h"

#include <QLineEdit>
#include <QTest>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {
const QList<QByteArray> kReturnBasketSelects =
    KillPoints::WholeTables({"Client", "Film", "Record", "Ledger", "DeskAction", "Reservation"});
} // namespace

// Three films taken back together, killed at any statement that writes: the file holds all three
// returns with their rows, or none of them.
class ReturnBasketKillTest : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhereLeavesAllThreeOrNone() {
        const auto run = [](int at) {
            return KillPoints::RunChild(u"ReturnBasketKillChild"_s, u"basket"_s, at, kReturnBasketSelects);
        };
        const KillPoints::Run before = run(0);
        QVERIFY2(before.killed, before.output.constData());
        QList<KillPoints::Run> killed;
        KillPoints::Run finished;
        for (int at = 1; at < 80; ++at) {
            KillPoints::Run next = run(at);
            if (!next.killed) {
                finished = next;
                break;
            }
            killed << next;
        }
        QVERIFY2(finished.output.contains("PASS   : ReturnBasketKillChild::act()"),
                 finished.output.constData());
        // All three back, the ledger's rows in the order of the films, the disc held for C2.
        const QString records = finished.snapshot.section(u"--\n"_s, 2, 2);
        QCOMPARE(records.count(u"|2026-12-07|Admin|"_s), 3);
        QStringList kinds;
        for (const QString& row : finished.snapshot.section(u"--\n"_s, 3, 3).split(u'\n', Qt::SkipEmptyParts))
            kinds << row.section(u'|', 4, 4);
        QCOMPARE(kinds.join(u','), u"超期扣款,退押金,超期租金,退押金"_s);
        QVERIFY(finished.snapshot.section(u"--\n"_s, 5, 5).contains(u"已留片"_s));
        QVERIFY(killed.size() >= 10); // three returns' writes, the commit among them
        for (int i = 0; i < killed.size(); ++i)
            QVERIFY2(killed[i].snapshot == before.snapshot,
                     qPrintable(u"killed at write %1:\n%2"_s.arg(i + 1).arg(killed[i].snapshot)));
    }
};
VORIX_TEST_ON_FILE_ONLY(ReturnBasketKillTest)

// The child of the test above, in the shop of its working folder.
class ReturnBasketKillChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        if (KillPoints::ChildAction().isEmpty())
            QSKIP("runs as a child of ReturnBasketKillTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
        // The shop charges the days out; a month's plan a period over, a per-day film with days to
        // pay, one back the next day; a client waits for the first one's title.
        for (const QString& sql :
             {u"INSERT INTO Options (Name,Value) VALUES ('LateCharge','1')"_s,
              u"INSERT INTO Film (FilmID,FilmName,Type) VALUES ('V1','英雄','VCD'), ('D1','无间道','DVD'), "
              "('D2','功夫','DVD')"_s,
              u"INSERT INTO Client (ClientID,CreateDate,Foregift,Balance) VALUES ('C1','2026-01-01',50,100), "
              "('C2','2026-01-01',50,100)"_s,
              u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) VALUES "
              "('C1','V1','月租',0,'2026-11-01','','Admin'), ('','D1','零租',45,'2026-12-04','','Admin'), "
              "('','D2','零租',20,'2026-12-06','','Admin')"_s,
              u"INSERT INTO Reservation (ClientID,FilmName,AskDate,State) VALUES "
              "('C2','英雄','2026-12-01','等待')"_s})
            QVERIFY(Db::Exec(sql));
        CReturnBasketDlg basket;
        basket.show();
        basket.OnInitDialog();
        for (const QString& code : {u"V1"_s, u"D1"_s, u"D2"_s}) {
            QTest::keyClicks(basket.filmEdit, code);
            QTest::keyClick(basket.filmEdit, Qt::Key_Return);
        }
        QCOMPARE(basket.Basket().Total().films, 3);
        if (KillPoints::KillAt() == 0)
            std::raise(SIGKILL); // the shop before the return
        KillPoints::Arm();
        QTest::keyClick(basket.filmEdit, Qt::Key_Return);
        QVERIFY(basket.IsEnded());
        QCOMPARE(boxes.Boxes().size(), 2);
    }
};
VORIX_TEST(ReturnBasketKillChild)
#include "tst_ReturnBasketKill.moc"
