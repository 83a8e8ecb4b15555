#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/CAdoDb.h"
#include "manage/CClientEditDlg.h"
#include "manage/CFilmEditDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CFilmEditDlg.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>

namespace {
const char* const kDeskVariable = "VORIX_TWO_DESKS"; // "film CODE" or "client CODE"

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
} // namespace

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
