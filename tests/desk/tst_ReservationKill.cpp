#include "KillPoints.h"
#include "ReserveFixture.h"
#include "TestRegistry.h"

#include "data/CAdodc.h"
#include "manage/CClientManageDlg.h"
#include "manage/CFilmManageDlg.h"

#include <csignal>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The rows the kill points compare.
const QList<QByteArray> kReservationSelects =
    KillPoints::WholeTables({"Client", "Film", "Record", "Ledger", "Reservation"});

KillPoints::Run RunReservationChild(const QString& action, int killAt) {
    return KillPoints::RunChild(u"ReservationKillChild"_s, action, killAt, kReservationSelects);
}
} // namespace

// Every action that changes the reservations does it in one transaction with the rest of its
// action: killed at any of its statements, the file holds all of it or none.
class ReservationKillTest : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhereLeavesAllOrNothing_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("states"); // the reservations' states after it, in order
        QTest::newRow("return holds") << u"return"_s << u"已留片,等待,等待"_s;
        QTest::newRow("exchange holds the old disc") << u"exchange"_s << u"已留片,等待,等待"_s;
        QTest::newRow("lending takes") << u"lend"_s << u"已取,等待,等待"_s;
        QTest::newRow("add holds a free disc") << u"add"_s << u"已留片,等待,等待,已留片"_s;
        QTest::newRow("cancel passes on") << u"cancel"_s << u"已取消,已留片,等待"_s;
        QTest::newRow("lapse passes on") << u"lapse"_s << u"已过期,已留片,等待"_s;
        QTest::newRow("delete client") << u"delete-client"_s << u"已取消,已留片,等待"_s;
        QTest::newRow("delete film") << u"delete-film"_s << u"已留片,等待,等待,已取消"_s;
    }
    void killedAnywhereLeavesAllOrNothing() {
        QFETCH(QString, action);
        QFETCH(QString, states);
        const KillPoints::Run before = RunReservationChild(action, 0);
        QVERIFY2(before.killed, before.output.constData());
        QList<KillPoints::Run> killed;
        KillPoints::Run finished;
        for (int at = 1; at < 30; ++at) {
            KillPoints::Run run = RunReservationChild(action, at);
            if (!run.killed) {
                finished = run;
                break;
            }
            killed << run;
        }
        QVERIFY2(finished.output.contains("PASS   : ReservationKillChild::act()"),
                 finished.output.constData());
        QStringList written;
        for (const QString& row : finished.snapshot.section(u"--\n"_s, 4, 4).split(u'\n', Qt::SkipEmptyParts))
            written << row.section(u'|', 5, 5);
        QCOMPARE(written.join(u','), states);
        QVERIFY(killed.size() >= 2);
        for (int i = 0; i < killed.size(); ++i)
            QVERIFY2(killed[i].snapshot == before.snapshot,
                     qPrintable(u"killed at write %1:\n%2"_s.arg(i + 1).arg(killed[i].snapshot)));
    }
};
VORIX_TEST_ON_FILE_ONLY(ReservationKillTest)

// The child of the test above, in the shop of its working folder. The shop: 英雄 on V1, out to
// C1 unless C2 holds it; C2, C3 and C4 wait for it in that order; 无间道 on D1, in.
class ReservationKillChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        const QString action = KillPoints::ChildAction();
        if (action.isEmpty())
            QSKIP("runs as a child of ReservationKillTest only");
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        std::optional<FixedClock> clock(std::in_place, QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
        QVERIFY(Db::Exec(u"INSERT INTO Film (FilmID,FilmName,Type) VALUES ('V1','英雄','VCD'), "
                         "('D1','无间道','DVD')"_s));
        QVERIFY(Db::Exec(u"INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance) VALUES "
                         "('C1','1','2026-01-01',50,100), ('C2','2','2026-01-01',50,100), "
                         "('C3','3','2026-01-01',50,100), ('C4','4','2026-01-01',50,100)"_s));
        const bool held = action != u"return"_s && action != u"exchange"_s;
        if (!held)
            QVERIFY(
                Db::Exec(u"INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) "
                         "VALUES ('C1','V1','月租',0,'2026-12-01','','Admin')"_s));
        QVERIFY(Db::Exec(
            u"INSERT INTO Reservation (ClientID,FilmName,FilmID,AskDate,State,HeldFilmID,HeldUntil) "
            "VALUES ('C2','英雄','','2026-12-01','%1','%2','%3'), "
            "('C3','英雄','','2026-12-01','等待','',''), ('C4','英雄','','2026-12-01','等待','','')"_s.arg(
                held ? u"已留片"_s : u"等待"_s, held ? u"V1"_s : QString(),
                held ? u"2026-12-08"_s : QString())));
        if (action == u"delete-film"_s)
            QVERIFY(Db::Exec(u"INSERT INTO Reservation (ClientID,FilmName,FilmID,AskDate,State) "
                             "VALUES ('C4','无间道','D1','2026-12-01','等待')"_s));
        if (action == u"lapse"_s)
            clock.emplace(QDateTime(QDate(2026, 12, 9), QTime(9, 0)));
        if (KillPoints::KillAt() == 0)
            std::raise(SIGKILL); // the shop before the action
        KillPoints::Arm();
        if (action == u"return"_s) {
            QVERIFY(ReserveDesk::Return(u"V1"_s));
        } else if (action == u"exchange"_s) {
            QVERIFY(ReserveDesk::Exchange(u"V1"_s, u"D1"_s));
        } else if (action == u"lend"_s) {
            QVERIFY(ReserveDesk::Lend(u"C2"_s, u"V1"_s));
        } else if (action == u"add"_s) {
            ReserveDesk::Reserve(u"C2"_s, u"D1"_s);
        } else if (action == u"cancel"_s || action == u"lapse"_s) {
            CReserveDlg dlg;
            dlg.OnInitDialog(); // a lapsed hold is settled as the list is read
            if (action == u"cancel"_s) {
                dlg.Form()->grid->selectRow(0);
                boxes.Answer(IDYES);
                dlg.OnCancelReservation();
            }
        } else if (action == u"delete-client"_s) {
            CClientManageDlg clients;
            clients.OnInitDialog();
            clients.DataControl()->SetRecordSource(u"SELECT ID, ClientID FROM Client WHERE ClientID='C2'"_s);
            clients.DataControl()->Refresh();
            boxes.Answer(IDYES);
            boxes.Answer(IDYES);
            clients.OnDelete();
            QCOMPARE(boxes.Texts().first(), u"是否删除当前客户?\n该客户有 1 个预约,将一并取消。"_s);
        } else if (action == u"delete-film"_s) {
            CFilmManageDlg films;
            films.OnInitDialog();
            films.DataControl()->SetRecordSource(u"SELECT ID, FilmID FROM Film WHERE FilmID='D1'"_s);
            films.DataControl()->Refresh();
            boxes.Answer(IDYES);
            films.OnDelete();
            QCOMPARE(boxes.Texts().first(), u"是否删除当前记录?\n此片有 1 个预约,将一并取消。"_s);
        }
        QCOMPARE(Db::Count(u"Reservation WHERE State='已留片'"_s), action == u"lend"_s  ? 0
                                                                   : action == u"add"_s ? 2
                                                                                        : 1);
    }
};
VORIX_TEST(ReservationKillChild)
#include "tst_ReservationKill.moc"
