#include "DeskFixture.h"
#include "PgServer.h"
#include "TestEngine.h"
#include "TestRegistry.h"

#include "access/CLoginDlg.h"
#include "data/CAdodc.h"
#include "desk/CLendDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CLoginDlg.h"

namespace {
// Ends every connection of the desks to the shop's server, as a server restarted or a cable pulled.
void CutTheDesksOff() {
    QVERIFY(!TestEngine::PsqlReads("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE "
                                   "datname = current_database() AND pid <> pg_backend_pid()")
                 .isEmpty());
}
} // namespace

// What the staff see when the database server fails them: one box that says why, and nothing
// half-written.
class ServerFailuresTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!TestEngine::OnServer())
            QSKIP("a shop on a database server only");
    }

    void unusableServersAreSaidAtLogin_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("sentence");
        if (!TestEngine::OnServer())
            return;
        const QString shop = TestEngine::Server()->ConnectionString();
        QTest::newRow("server down")
            << QStringLiteral("host=/nonexistent port=5 user=vorix dbname=shop connect_timeout=2")
            << QStringLiteral("无法连接数据库服务器");
        QTest::newRow("unknown user")
            << shop + QStringLiteral(" user=nobody") << QStringLiteral("数据库服务器拒绝了登录");
        QTest::newRow("no such database") << TestEngine::Server()->ConnectionString(QStringLiteral("nosuch"))
                                          << QStringLiteral("数据库服务器上没有这个数据库");
        QTest::newRow("not a shop") << TestEngine::Server()->ConnectionString(QStringLiteral("empty"))
                                    << QStringLiteral("服务器上的这个数据库不是本店的数据库");
    }
    void unusableServersAreSaidAtLogin() {
        QFETCH(QString, connection);
        QFETCH(QString, sentence);
        TempShop shop;
        BoxRecorder boxes;
        if (connection.endsWith(QLatin1String("dbname=empty")))
            TestEngine::PsqlReads("CREATE DATABASE empty");
        ShopConnection::Use(ShopConnection::ForServer(connection));
        CLoginDlg login;
        login.show();
        QVERIFY(login.OnInitDialog());
        login.Form()->nameEdit->setText(QStringLiteral("Admin"));
        login.Form()->passwordEdit->setText(QStringLiteral("admin"));
        login.OnOK();
        QVERIFY(!login.IsEnded());
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY2(boxes.Texts().first().startsWith(sentence), qPrintable(boxes.Texts().first()));
        // The browse windows say it once too, and stay empty.
        boxes.Clear();
        CAdodc adodc;
        adodc.SetRecordSource(QStringLiteral("SELECT * FROM Film"));
        adodc.Refresh();
        adodc.Refresh();
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY(boxes.Texts().first().startsWith(sentence));
        QCOMPARE(adodc.rowCount(), 0);
    }

    // The connection breaks off between the lending's writes: the server rolls back what it had,
    // the clerk reads one box, and the same entries lend the film once the server answers again.
    void connectionLostWhileLendingKeepsNothing() {
        DeskShop shop;
        const QString before = DeskShop::Snapshot();
        CAdoDb::SetStatementObserver([](const QString& sql) {
            if (sql.startsWith(QLatin1String("INSERT INTO Record")))
                CutTheDesksOff();
        });
        CLendDlg lend;
        lend.OnInitDialog();
        lend.Form()->clientEdit->setText(QStringLiteral("C1"));
        lend.Form()->filmEdit->setText(QStringLiteral("V1"));
        lend.OnOK();
        CAdoDb::SetStatementObserver(nullptr);
        QVERIFY(!lend.IsEnded());
        QCOMPARE(shop.boxes.Texts().size(), 1);
        QVERIFY2(shop.boxes.Texts().first().startsWith(QStringLiteral("与数据库服务器的连接断了")),
                 qPrintable(shop.boxes.Texts().first()));
        QCOMPARE(DeskShop::Snapshot(), before);
        QCOMPARE(Db::Count(QStringLiteral("Ledger")), 0);
        shop.boxes.Clear();
        lend.OnOK();
        QVERIFY(lend.IsEnded());
        QCOMPARE(DeskShop::Balance(QStringLiteral("C1")), QStringLiteral("70.00"));
        QCOMPARE(Db::Count(QStringLiteral("Ledger")), 1);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }

    // Idle connections the server closed (a restart overnight) are opened anew without a word.
    void connectionsClosedWhileIdleAreOpenedAgain() {
        DeskShop shop;
        QCOMPARE(Db::Count(QStringLiteral("Film")), 2);
        CutTheDesksOff();
        QTest::qWait(50); // the server's goodbye reaches the idle socket
        QCOMPARE(Db::Count(QStringLiteral("Film")), 2);
        QCOMPARE(shop.boxes.Texts(), QStringList());
    }
};
VORIX_TEST(ServerFailuresTest)
#include "tst_ServerFailures.moc"
