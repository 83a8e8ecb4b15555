#include "DeskFixture.h"
#include "TestRegistry.h"

#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "manage/CDayEndDlg.h"
#include "ui_CDayEndDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

#include <QCoreApplication>
#include <QProcess>

namespace {
constexpr int kFilmsPerDesk = 30;
const char* const kDeskVariable = "VORIX_DESK_DAY";
} // namespace

// Two desks, each a program of its own, and the sqlcipher shell share one shop file through a
// day of lendings and returns: no rental and no charge may be lost, and no desk sees a failure.
class DeskDayTest : public QObject {
    Q_OBJECT
private slots:
    void twoDesksAndTheShellShareADay() {
        DeskShop shop;
        QVERIFY(Db::Exec(QStringLiteral("UPDATE Client SET Balance=100000")));
        for (const QString& desk : {QStringLiteral("A"), QStringLiteral("B")})
            for (int i = 0; i < kFilmsPerDesk; ++i)
                DeskShop::AddFilm(desk + QString::number(i), QStringLiteral("VCD"), QStringLiteral("片"));
        QList<QProcess*> desks;
        for (const char* desk : {"A", "B"}) {
            auto* child = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kDeskVariable), QString::fromLatin1(desk));
            child->setProcessEnvironment(env);
            child->setProcessChannelMode(QProcess::ForwardedChannels);
            child->start(QCoreApplication::applicationFilePath(),
                         {QStringLiteral("-class"), QStringLiteral("DeskDayChild")});
            QVERIFY(child->waitForStarted());
            desks << child;
        }
        int looks = 0;
        auto running = [&] {
            bool any = false;
            for (QProcess* desk : desks)
                any = !desk->waitForFinished(20) && desk->state() != QProcess::NotRunning ? true : any;
            return any;
        };
        while (running()) {
            QVERIFY(ShellReads("SELECT count(*) FROM Record;").size() > 0);
            ++looks;
        }
        for (QProcess* desk : desks) {
            QCOMPARE(desk->exitStatus(), QProcess::NormalExit);
            QCOMPARE(desk->exitCode(), 0);
        }
        QVERIFY(looks > 0);
        QCOMPARE(Db::Count(QStringLiteral("Record")), 2 * kFilmsPerDesk);
        QCOMPARE(Db::Count(QStringLiteral("Record WHERE ReturnDate=''")), kFilmsPerDesk);
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")),
                 QString::number(100000 - kFilmsPerDesk * 30) + QStringLiteral(".00"));
        // 日结: each desk's cash is its per-day prices, and the two make the drawer's change.
        const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
        QVERIFY(Db::Exec(
            QStringLiteral("INSERT INTO Operator (OptName, Type) VALUES ('A','操作员'), ('B','操作员')")));
        CDayEndDlg day;
        day.show();
        day.OnInitDialog();
        QCOMPARE(day.Form()->operatorCombo->count(), 4); // 全部, Admin, A, B
        const int perDay = kFilmsPerDesk / 2;
        for (const QString& desk : {QStringLiteral("A"), QStringLiteral("B")}) {
            Pick(day.Form()->operatorCombo, desk);
            QCOMPARE(day.Form()->cashInValue->text(), QStringLiteral("%1.00 元").arg(perDay * 20));
            QCOMPARE(day.Form()->cashOutValue->text(), QStringLiteral("%1.00 元").arg(perDay * 17));
            QCOMPARE(day.Form()->expectedValue->text(), QStringLiteral("%1.00 元").arg(perDay * 3));
        }
        Pick(day.Form()->operatorCombo, QStringLiteral("全部"));
        QCOMPARE(day.Form()->expectedValue->text(), QStringLiteral("%1.00 元").arg(2 * perDay * 3));
        QCOMPARE(Db::Count(QStringLiteral("Ledger WHERE Kind='月租扣款' AND Fen=3000")), 2 * perDay);
        QCOMPARE(Db::Count(QStringLiteral("Ledger WHERE Kind='退押金' AND Fen=1700")), 2 * perDay);
        // Every ledger row belongs to a rental of its desk's film.
        QCOMPARE(Db::Count(QStringLiteral("Ledger l JOIN Record r ON r.ID=l.RentID AND r.FilmID=l.FilmID AND "
                                          "substr(r.FilmID,1,1)=l.OptUser")),
                 2 * (perDay + 3 * perDay));
        QCOMPARE(Db::Value(QStringLiteral("SELECT SUM(Degree) AS v FROM Film")),
                 QString::number(2 * kFilmsPerDesk));
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }
};
VORIX_TEST(DeskDayTest)

// One desk of that day, run by the test above as a program of its own in the shop's folder.
class DeskDayChild : public QObject {
    Q_OBJECT
private slots:
    void lendAndReturn() {
        const QString desk = qEnvironmentVariable(kDeskVariable);
        if (desk.isEmpty())
            QSKIP("runs as a desk of the shared day only");
        BoxRecorder boxes; // a return's question is answered Yes
        const SignedIn clerk(desk, QStringLiteral("操作员"));
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(15, 30))); // the parent's day
        // Odd films go out on the month, even ones for the day (20 in cash, 3 of it the price)
        // and come back.
        for (int i = 0; i < kFilmsPerDesk; ++i) {
            const QString film = desk + QString::number(i);
            CLendDlg lend;
            lend.OnInitDialog();
            if (i % 2) {
                lend.Form()->clientEdit->setText(QStringLiteral("C1"));
            } else {
                Pick(lend.Form()->typeCombo, QStringLiteral("零租"));
                lend.Form()->depositEdit->setText(QStringLiteral("20"));
            }
            lend.Form()->filmEdit->setText(film);
            lend.OnOK();
            QVERIFY2(lend.IsEnded(), qPrintable(boxes.Texts().join(QLatin1Char('/'))));
            if (i % 2)
                continue;
            CReturnDlg ret;
            ret.OnInitDialog();
            ret.Form()->filmEdit->setText(film);
            ret.OnOK();
            QVERIFY2(ret.IsEnded(), qPrintable(boxes.Texts().join(QLatin1Char('/'))));
        }
        QCOMPARE(boxes.Boxes().size(), kFilmsPerDesk / 2); // the returns' questions only
    }
};
VORIX_TEST(DeskDayChild)
#include "tst_DeskDay.moc"
