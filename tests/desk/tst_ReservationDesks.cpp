#include "ReserveFixture.h"
#include "TestRegistry.h"

#include <QCoreApplication>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTitles = 12;
const char* const kDeskVariable = "VORIX_RESERVE_DESK";
} // namespace

// Two desks, each a program of its own, take back the two discs of each of many titles at the
// same moment, while two clients wait for each title: every client gets one disc, never two, and
// no disc is held twice.
class ReservationDesksTest : public QObject {
    Q_OBJECT
private slots:
    void twoReturnsAtOnceServeTwoClients() {
        DeskShop shop;
        for (int t = 0; t < kTitles; ++t) {
            const QString title = u"片%1"_s.arg(t);
            for (const QString& desk : {u"A"_s, u"B"_s}) {
                DeskShop::AddFilm(desk + QString::number(t), u"DVD"_s, title);
                DeskShop::AddOutRental(desk + QString::number(t), u"C1"_s, u"月租"_s, 0);
            }
            for (const QString& who : {u"X"_s, u"Y"_s}) {
                DeskShop::AddClient(who + QString::number(t), 100);
                QVERIFY(Db::Exec(u"INSERT INTO Reservation (ClientID,FilmName,AskDate,State) VALUES "
                                 "('%1','%2','2026-12-01','等待')"_s.arg(who + QString::number(t), title)));
            }
        }
        QList<QProcess*> desks;
        for (const char* desk : {"A", "B"}) {
            auto* child = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kDeskVariable), QString::fromLatin1(desk));
            child->setProcessEnvironment(env);
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(), {u"-class"_s, u"ReservationDesksChild"_s});
            QVERIFY(child->waitForStarted());
            desks << child;
        }
        for (QProcess* desk : desks) {
            QVERIFY(desk->waitForFinished(120000));
            QCOMPARE(desk->exitStatus(), QProcess::NormalExit);
            QCOMPARE(desk->exitCode(), 0);
        }
        QCOMPARE(Db::Count(u"Record WHERE ReturnDate=''"_s), 0);
        QCOMPARE(Db::Count(u"Reservation WHERE State='已留片'"_s), 2 * kTitles);
        // Each title's two clients hold its two discs, one each.
        QCOMPARE(
            Db::Count(u"Reservation r JOIN Film f ON f.FilmID = r.HeldFilmID AND f.FilmName = r.FilmName"_s),
            2 * kTitles);
        QCOMPARE(Db::Value(u"SELECT COUNT(DISTINCT HeldFilmID) AS v FROM Reservation"_s),
                 QString::number(2 * kTitles));
        QCOMPARE(Db::Value(u"SELECT COUNT(DISTINCT ClientID) AS v FROM Reservation WHERE State='已留片'"_s),
                 QString::number(2 * kTitles));
    }
};
VORIX_TEST(ReservationDesksTest)

// One desk of the test above, run as a program of its own on the parent's shop.
class ReservationDesksChild : public QObject {
    Q_OBJECT
private slots:
    void returnEach() {
        const QString desk = qEnvironmentVariable(kDeskVariable);
        if (desk.isEmpty())
            QSKIP("runs as a desk of ReservationDesksTest only");
        BoxRecorder boxes;
        const SignedIn clerk(desk, u"操作员"_s);
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(15, 30)));
        for (int t = 0; t < kTitles; ++t) {
            CReturnDlg back;
            back.OnInitDialog();
            back.Form()->filmEdit->setText(desk + QString::number(t));
            back.OnOK();
            QVERIFY2(back.IsEnded(), qPrintable(boxes.Texts().join(u'/')));
        }
        // Each return's question and its call-out.
        QCOMPARE(boxes.Texts().filter(u"请把此片留给客户"_s).size(), kTitles);
    }
};
VORIX_TEST(ReservationDesksChild)
#include "tst_ReservationDesks.moc"
