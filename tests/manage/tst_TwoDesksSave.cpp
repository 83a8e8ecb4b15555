#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdoDb.h"
#include "desk/CLendDlg.h"
#include "desk/CPriceSettingDlg.h"
#include "manage/CClientEditDlg.h"
#include "manage/CFilmEditDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CFilmEditDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CPriceSettingDlg.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>

namespace {
const char* const kDeskVariable = "VORIX_TWO_DESKS"; // "film CODE" or "client CODE"
// What the other desk does while a form is open here: "lend CLIENT FILM", "client CLIENT BALANCE"
// or "prices MONTHVCD".
const char* const kOtherDeskVariable = "VORIX_OTHER_DESK";

// The desk's next line of its own, past the test program's log; empty when it has none.
QString NextWord(QProcess& desk) {
    for (;;) {
        while (!desk.canReadLine())
            if (!desk.waitForReadyRead(20000))
                return {};
        const QString line = QString::fromUtf8(desk.readLine().trimmed());
        if (line.startsWith(QLatin1String("desk: ")))
            return line.mid(6);
    }
}

// Runs the other desk's task as a program of its own, to its end; its output when it failed.
QByteArray OtherDesk(const QString& task) {
    QProcess desk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kOtherDeskVariable), task);
    desk.setProcessEnvironment(env);
    desk.setProcessChannelMode(QProcess::MergedChannels);
    desk.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("-class"), QStringLiteral("OtherDeskChild")});
    if (!desk.waitForFinished(60000))
        desk.kill();
    const QByteArray output = desk.readAll();
    return desk.exitStatus() == QProcess::NormalExit && desk.exitCode() == 0 ? QByteArray() : output;
}

QString LedgerRows() {
    return Db::Value(QStringLiteral(
        "SELECT group_concat(Kind||':'||Fen, ',') AS v FROM (SELECT * FROM Ledger ORDER BY ID)"));
}
} // namespace

// A form saved at one desk after another desk changed its row since the form opened writes
// nothing: it names what changed, shows the new values, and saves once the clerk confirms again.
class StaleFormTest : public QObject {
    Q_OBJECT
private slots:
    void clientEditorDecidesOnTheRowAsItIsNow_data() {
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("balance"); // the balance the other desk left, as the form shows it
        QTest::addColumn<QString>("ledger");  // the other desk's rows
        QTest::addColumn<QString>("again");   // what the clerk types on second thought
        QTest::addColumn<QString>("after");   // the ledger in the end
        QTest::newRow("a lending") << "lend C003 V1"
                                   << "70"
                                   << "月租扣款:3000"
                                   << "120"
                                   << "月租扣款:3000,充值:5000";
        QTest::newRow("a top-up") << "client C003 200"
                                  << "200"
                                  << "充值:10000"
                                  << "250"
                                  << "充值:10000,充值:5000";
    }
    void clientEditorDecidesOnTheRowAsItIsNow() {
        QFETCH(QString, other);
        QFETCH(QString, balance);
        QFETCH(QString, ledger);
        QFETCH(QString, again);
        QFETCH(QString, after);
        TempShop shop;
        BoxRecorder boxes;
        const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
        QVERIFY(
            Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,FilmName,Type) VALUES ('V1','英雄','VCD')")));
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Client (ClientID,PhoneNum,CreateDate,Foregift,Balance) "
                                        "VALUES ('C003','555','2026-01-01',50,100)")));
        CClientEditDlg desk;
        desk.m_strID = Db::Value(QStringLiteral("SELECT ID AS v FROM Client"));
        desk.show();
        QVERIFY(desk.OnInitDialog());
        const QByteArray failed = OtherDesk(other);
        QVERIFY2(failed.isEmpty(), failed.constData());

        desk.Form()->balanceEdit->setText(QStringLiteral("150"));
        desk.Form()->phoneEdit->setText(QStringLiteral("666")); // unchanged elsewhere: kept as typed
        desk.OnOK();
        QCOMPARE(boxes.Texts(),
                 QStringList{QStringLiteral("保存前该客户的资料已在别处被修改: 余款 现为 %1.00 "
                                            "元。已重新读入,请核对后再保存。")
                                 .arg(balance)});
        QCOMPARE(boxes.Boxes().first().caption, QStringLiteral("提示"));
        QVERIFY(!desk.IsEnded());
        QCOMPARE(desk.Form()->balanceEdit->text(), balance);
        QCOMPARE(desk.Form()->phoneEdit->text(), QStringLiteral("666"));
        QCOMPARE(Db::Row(QStringLiteral("SELECT PhoneNum, Balance FROM Client")),
                 QStringLiteral("555 %1.0").arg(balance));
        QCOMPARE(LedgerRows(), ledger);

        boxes.Clear();
        desk.Form()->balanceEdit->setText(again);
        desk.OnOK();
        QCOMPARE(boxes.Texts(), QStringList());
        QVERIFY(desk.IsEnded());
        QCOMPARE(Db::Row(QStringLiteral("SELECT PhoneNum, Balance FROM Client")),
                 QStringLiteral("666 %1.0").arg(again));
        QCOMPARE(LedgerRows(), after);
    }

    // A opens 设置, B saves 月租VCD 35, A saves 月租DVD 45: A's first save writes nothing; its
    // second keeps both changes, and the ledger notes each once.
    void priceFormDecidesOnThePricesAsTheyAreNow() {
        TempShop shop;
        BoxRecorder boxes;
        const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
        CPriceSettingDlg desk;
        desk.show();
        QVERIFY(desk.OnInitDialog());
        QVERIFY(QTest::qWaitForWindowActive(&desk));
        const QByteArray failed = OtherDesk(QStringLiteral("prices 35"));
        QVERIFY2(failed.isEmpty(), failed.constData());
        const QString prices = QStringLiteral("SELECT MonthVcd, MonthDvd, DayVcd, DayDvd FROM Setting");

        desk.Form()->monthDvdEdit->setText(QStringLiteral("45"));
        desk.OnOK();
        QCOMPARE(boxes.Texts(),
                 QStringList{QStringLiteral(
                     "保存前价格已在别处被修改: 月租VCD 现为 35.00 元。已重新读入,请核对后再保存。")});
        QVERIFY(!desk.IsEnded());
        QCOMPARE(desk.Form()->monthVcdEdit->text(), QStringLiteral("35"));
        QCOMPARE(desk.Form()->monthDvdEdit->text(), QStringLiteral("45"));
        QCOMPARE(QApplication::focusWidget(), desk.Form()->monthVcdEdit);
        QCOMPARE(Db::Row(prices), QStringLiteral("35.0 40.0 3.0 5.0"));

        boxes.Clear();
        desk.OnOK();
        QCOMPARE(boxes.Texts(), QStringList());
        QVERIFY(desk.IsEnded());
        QCOMPARE(Db::Row(prices), QStringLiteral("35.0 45.0 3.0 5.0"));
        QCOMPARE(Db::Value(QStringLiteral(
                     "SELECT group_concat(Note, '/') AS v FROM (SELECT * FROM Ledger ORDER BY ID)")),
                 QStringLiteral("月租VCD 30.00→35.00/月租DVD 40.00→45.00"));
    }
};
VORIX_TEST(StaleFormTest)

// The other desk of the test above, run as a program of its own on the shop of its parent.
class OtherDeskChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        const QStringList task = qEnvironmentVariable(kOtherDeskVariable).split(QLatin1Char(' '));
        if (task.size() < 2)
            QSKIP("runs as the other desk of StaleFormTest only");
        BoxRecorder boxes;
        const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
        if (task[0] == QLatin1String("lend")) {
            CLendDlg lend;
            lend.OnInitDialog();
            lend.Form()->clientEdit->setText(task[1]);
            lend.Form()->filmEdit->setText(task[2]);
            lend.OnOK();
            QVERIFY(lend.IsEnded());
        } else if (task[0] == QLatin1String("client")) {
            CClientEditDlg client;
            client.m_strID =
                Db::Value(QStringLiteral("SELECT ID AS v FROM Client WHERE ClientID='%1'").arg(task[1]));
            QVERIFY(client.OnInitDialog());
            client.Form()->balanceEdit->setText(task[2]);
            client.OnOK();
            QVERIFY(client.IsEnded());
        } else {
            CPriceSettingDlg prices;
            QVERIFY(prices.OnInitDialog());
            prices.Form()->monthVcdEdit->setText(task[1]);
            prices.OnOK();
            QVERIFY(prices.IsEnded());
        }
        QCOMPARE(boxes.Texts(), QStringList());
    }
};
VORIX_TEST(OtherDeskChild)

// Two desks, each a program of its own, add one code in two letter cases while another program
// holds the write lock; once it lets go, exactly one desk saves and the other is told the code is
// taken, its editor still open.
class TwoDesksSaveTest : public QObject {
    Q_OBJECT
private slots:
    void oneCodeIsSavedOnce_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("film") << "film"
                              << "Film"
                              << "FilmID" << QStringLiteral("影片编号重复,请重新输入!");
        QTest::newRow("client") << "client"
                                << "Client"
                                << "ClientID" << QStringLiteral("客户编号重复,请重新输入!");
    }
    void oneCodeIsSavedOnce() {
        QFETCH(QString, editor);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, refusal);
        TempShop shop;
        QList<QProcess*> desks;
        {
            CTransaction holding; // the other program's write lock
            QCOMPARE(Db::Value(QStringLiteral("SELECT 1 AS v")), QStringLiteral("1"));
            for (const char* code : {"D27", "d27"}) {
                auto* child = new QProcess(this);
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert(QString::fromLatin1(kDeskVariable),
                           editor + QLatin1Char(' ') + QLatin1String(code));
                child->setProcessEnvironment(env);
                child->setProcessChannelMode(QProcess::SeparateChannels);
                child->start(QCoreApplication::applicationFilePath(),
                             {QStringLiteral("-class"), QStringLiteral("TwoDesksSaveChild")});
                QVERIFY(child->waitForStarted());
                desks << child;
            }
            // Both desks have filled their editors and press 确定 while the lock is still held.
            for (QProcess* desk : desks)
                QCOMPARE(NextWord(*desk), QStringLiteral("ready"));
            QTest::qWait(800);
            QVERIFY(holding.Commit());
        }
        QStringList outcomes;
        for (QProcess* desk : desks) {
            outcomes << NextWord(*desk);
            QVERIFY(desk->waitForFinished(20000));
            QCOMPARE(desk->exitCode(), 0);
        }
        outcomes.sort();
        QCOMPARE(outcomes, QStringList({QStringLiteral("refused ") + refusal, QStringLiteral("saved")}));
        QCOMPARE(Db::Count(table + QStringLiteral(" WHERE ") + column + QStringLiteral("='D27'") +
                           EngineText(" COLLATE NOCASE", "")),
                 1);
    }
};
VORIX_TEST(TwoDesksSaveTest)

// One desk of the test above, run as a program of its own in the shop's folder.
class TwoDesksSaveChild : public QObject {
    Q_OBJECT
private slots:
    void addOneCode() {
        const QStringList task = qEnvironmentVariable(kDeskVariable).split(QLatin1Char(' '));
        if (task.size() != 2)
            QSKIP("runs as a desk of the two-desk test only");
        BoxRecorder boxes;
        const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
        CFilmEditDlg film;
        CClientEditDlg client;
        CDialog* dlg = &film;
        if (task[0] == QLatin1String("film")) {
            QVERIFY(film.OnInitDialog());
            film.Form()->filmIdEdit->setText(task[1]);
            film.Form()->filmNameEdit->setText(QStringLiteral("英雄"));
        } else {
            dlg = &client;
            QVERIFY(client.OnInitDialog());
            client.Form()->clientEdit->setText(task[1]);
        }
        std::puts("desk: ready");
        std::fflush(stdout);
        dlg->OnOK();
        const QString outcome = dlg->IsEnded()
                                    ? QStringLiteral("saved")
                                    : QStringLiteral("refused ") + boxes.Texts().join(QLatin1Char('/'));
        std::puts((QStringLiteral("desk: ") + outcome).toUtf8().constData());
        std::fflush(stdout);
    }
};
VORIX_TEST(TwoDesksSaveChild)
#include "tst_TwoDesksSave.moc"
