#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
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
private:
    // An installed program under a home of its own: it makes the shop in the user's data folder,
    // logs in as the first administrator, tells how many films it finds, and ends. The message
    // boxes are real ones: each is printed and answered with its default button.
    static void FreshHome() {
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                std::printf("BOX: %s\n", qPrintable(box->text()));
                std::fflush(stdout);
                box->defaultButton()->click();
            }
        });
        answer.start(20);
        QStringList dialogs;
        ModalScript script([&dialogs](CDialog& dialog) {
            if (qobject_cast<CLoginDlg*>(&dialog))
                return LoginAs(QStringLiteral("Admin"), QStringLiteral("admin"))(dialog);
            dialogs << QString::fromLatin1(dialog.metaObject()->className());
            dialog.OnCancel(); // the offer of a new password
        });
        QVERIFY(theApp.InitInstance(*qApp, Commands::Table()));
        const QString folder = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/vorix");
        QCOMPARE(theApp.m_strAppDir, folder);
        QCOMPARE(QDir::currentPath(), folder);
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
        std::printf("FILMS: %d\n", Db::Count(QStringLiteral("Film")));
        QTimer::singleShot(0, [] { theApp.OnAppExit(); });
        QCOMPARE(theApp.Run(), 0);
        QCOMPARE(dialogs, QStringList{QStringLiteral("CPasswordDlg")});
    }

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
        if (scenario == "fresh-home") {
            FreshHome();
            return;
        }
        if (scenario == "cancel") {
            ModalScript script(CancelLogin());
            QVERIFY(theApp.InitInstance(*qApp, Commands::Table()));
            QVERIFY(theApp.m_pMainWnd && theApp.m_pMainWnd->isVisible());
            QCOMPARE(theApp.Run(), 0);
            QVERIFY(theApp.m_pMainWnd.isNull());
            QCOMPARE(Session::Current().UserName(), QString());
            return;
        }
        {
            ModalScript script(LoginAs(QStringLiteral("Admin"), kOwnPassword));
            QVERIFY(theApp.InitInstance(*qApp, Commands::Table()));
        }
        // The program folder is where the renamed executable lies, not where it was started.
        const QString folder = Canonical(QCoreApplication::applicationDirPath());
        QCOMPARE(Canonical(theApp.m_strAppDir), folder);
        QCOMPARE(Canonical(QDir::currentPath()), folder);
        QCOMPARE(Session::Current().UserName(), QStringLiteral("Admin"));
        QCOMPARE(theApp.m_pMainWnd->UserPane()->text(), QStringLiteral("当前用户: Admin    类型: 管理员"));
        // Qt's own texts, dates and numbers in Chinese, whatever the language the program was given.
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        std::printf("CHINESE: %s|%s|%s|%s|%s\n", qPrintable(QLocale().name()),
                    qPrintable(QLocale().toString(QDate(2026, 12, 9), QLocale::ShortFormat)),
                    qPrintable(QLocale().toString(QDate(2026, 12, 9), QStringLiteral("d MMM"))),
                    qPrintable(QFileIconProvider().type(QFileInfo(folder))),
                    qPrintable(buttons.button(QDialogButtonBox::Cancel)->text()));
        std::fflush(stdout);
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
private:
    // Runs the renamed copy of this program, offscreen in this folder, as StartUpChild; true when
    // it ended by itself and passed. A hang is a failure.
    static bool RunChild(const QString& program, QProcessEnvironment env, const QString& folder,
                         QByteArray* output) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess child;
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(folder);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(program, {QStringLiteral("-class"), QStringLiteral("StartUpChild")});
        const bool ended = child.waitForFinished(120000);
        if (!ended)
            child.kill();
        *output = child.readAll();
        return ended && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
               output->contains("PASS   : StartUpChild::run()");
    }

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

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORIX_STARTUP"), QString::fromLatin1(scenario));
        // A system in English, or in none.
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en_US"));
        QByteArray output;
        QVERIFY2(RunChild(renamed, env, elsewhere.path(), &output), output.constData());
        if (scenario != "cancel")
            QVERIFY2(output.contains("CHINESE: zh_CN|2026/12/9|9 12月|文件夹|取消\n"), output.constData());
        // Nothing was written where the program was started.
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // What the package's program does for a new user: no shop beside it, so it prepares one in
    // the user's data folder and says so; the next start finds the same data and says nothing.
    void installedProgramKeepsItsShopInTheUserFolder() {
        QTemporaryDir program;
        QTemporaryDir home;
        const QString renamed = program.filePath(QStringLiteral("vorix"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), renamed));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORIX_STARTUP"), QStringLiteral("fresh-home"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        const QString folder = home.filePath(QStringLiteral(".local/share/vorix"));
        QByteArray first;
        QVERIFY2(RunChild(renamed, env, home.path(), &first), first.constData());
        QCOMPARE(first.count("BOX: "), 1);
        QVERIFY2(first.contains("BOX: 这是第一次在这里使用 Vorix,已建立新的店铺数据:\n" + folder.toUtf8()),
                 first.constData());
        QVERIFY2(first.contains("FILMS: 0"), first.constData());
        QVERIFY(QFileInfo(folder + QStringLiteral("/dbBak")).isDir());
        QVERIFY(!QFileInfo::exists(program.filePath(QStringLiteral("cddata.mdb"))));
        {
            const QString previous = QDir::currentPath();
            QDir::setCurrent(folder);
            const bool added =
                Db::Exec(QStringLiteral("INSERT INTO Film (FilmID, FilmName) VALUES ('F001', '英雄')"));
            QDir::setCurrent(previous);
            QVERIFY(added);
        }
        QByteArray second;
        QVERIFY2(RunChild(renamed, env, home.path(), &second), second.constData());
        QCOMPARE(second.count("BOX: "), 0);
        QVERIFY2(second.contains("FILMS: 1"), second.constData());
    }
};
VORIX_TEST(StartUpTest)
#include "tst_StartUp.moc"
