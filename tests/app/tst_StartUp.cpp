#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

using namespace Shell;

namespace {
// The password of the shop copied beside the renamed program: no other database knows it.
const QString kOwnPassword = QStringLiteral("beside-the-program");
} // namespace

// The program's start-up, run for real inside a renamed copy of this test program that
// StartUpTest starts in a folder of its own; skipped in an ordinary run.
class StartUpChild : public QObject {
    Q_OBJECT
private slots:
    void run() {
        const QByteArray scenario = qgetenv("VORIX_STARTUP");
        if (scenario.isEmpty())
            QSKIP("runs only as the renamed program that StartUpTest starts");
        QApplication::setQuitOnLastWindowClosed(true);
        ResetSession();
        // A message box the script cannot answer (a database not found, say) would wait forever.
        QTimer::singleShot(20000, [] {
            const QWidget* modal = QApplication::activeModalWidget();
            std::fprintf(stderr, "start-up did not end; waiting in: %s\n",
                         modal ? qPrintable(modal->property("text").toString()) : "the event loop");
            std::_Exit(3);
        });
        if (scenario == "cancel") {
            ModalScript script(CancelLogin());
            QVERIFY(theApp.InitInstance(*qApp, CommandTable()));
            QVERIFY(theApp.m_pMainWnd && theApp.m_pMainWnd->isVisible());
            QCOMPARE(theApp.Run(), 0);
            QVERIFY(theApp.m_pMainWnd.isNull());
            QCOMPARE(Session::Current().UserName(), QString());
            return;
        }
        {
            ModalScript script(LoginAs(QStringLiteral("Admin"), kOwnPassword));
            QVERIFY(theApp.InitInstance(*qApp, CommandTable()));
        }
        // The program folder is where the renamed executable lies, not where it was started.
        const QString folder = Canonical(QCoreApplication::applicationDirPath());
        QCOMPARE(Canonical(theApp.m_strAppDir), folder);
        QCOMPARE(Canonical(QDir::currentPath()), folder);
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
        QCOMPARE(theApp.m_pMainWnd->UserPane()->text(), QStringLiteral("当前用户: Admin    类型: 管理员"));
        if (scenario == "logout-cancel") {
            QTimer::singleShot(0, [] {
                ModalScript script(CancelLogin());
                theApp.m_pMainWnd->OnLogout();
            });
        } else {
            QTimer::singleShot(0, [] { theApp.OnAppExit(); });
        }
        QCOMPARE(theApp.Run(), 0);
        QVERIFY(theApp.m_pMainWnd.isNull());
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
    }
};
VORIX_TEST(StartUpChild)

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    void renamedProgramFindsItsDatabaseAndEnds_data() {
        QTest::addColumn<QByteArray>("scenario");
        QTest::newRow("login, then Exit") << QByteArray("exit");
        QTest::newRow("first login cancelled") << QByteArray("cancel");
        QTest::newRow("logout login cancelled") << QByteArray("logout-cancel");
    }
    void renamedProgramFindsItsDatabaseAndEnds() {
        QFETCH(QByteArray, scenario);
        QTemporaryDir program;
        QTemporaryDir elsewhere;
        {
            TempShop shop;
            QVERIFY(Db::Exec(
                QStringLiteral("UPDATE Operator SET OptPwd='%1' WHERE OptName='Admin'").arg(kOwnPassword)));
            // The change is in the write-ahead log until a checkpoint: a plain file copy needs one.
            QVERIFY(Db::Exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
            QVERIFY(QFile::copy(shop.DatabasePath(), program.filePath(QStringLiteral("cddata.mdb"))));
        }
        const QString renamed = program.filePath(QStringLiteral("Kasse 2"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), renamed));

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VORIX_STARTUP"), QString::fromLatin1(scenario));
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(elsewhere.path());
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(renamed, {QStringLiteral("-class"), QStringLiteral("StartUpChild")});
        // The program ends by itself; a hang is a failure.
        const bool ended = child.waitForFinished(120000);
        if (!ended)
            child.kill();
        const QByteArray output = child.readAll();
        QVERIFY2(ended, output.constData());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("PASS   : StartUpChild::run()"), output.constData());
        // Nothing was written where the program was started.
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }
};
VORIX_TEST(StartUpTest)
#include "tst_StartUp.moc"
