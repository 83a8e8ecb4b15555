#include "PgServer.h"
#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/BackupProgress.h"
#include "data/engine/Engine.h"
#include "data/engine/ShopConnection.h"
#include "data/shop/ServerDatabase.h"
#include "data/shop/ShopDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <libpq-fe.h>

using namespace Shell;

namespace {
// The server's shop and the backup's target of a copy that ServerStartTest kills half-way.
const char* const kChildServer = "VORIX_SERVER_BACKUP_SERVER";
const char* const kChildTarget = "VORIX_SERVER_BACKUP_TARGET";

QStringList Listing(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Runs vorix-restore BACKUP SHOP; its exit code.
int Restore(const QString& backup, const QString& shop) {
    QProcess tool;
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vorix-restore"), {backup, shop});
    return tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}
} // namespace

// The backup of a server's shop in a program of its own, which stops when it has copied the
// rentals; the test that starts it kills it there.
class ServerBackupChild : public QObject {
    Q_OBJECT
private slots:
    void stopsHalfWay() {
        if (qEnvironmentVariableIsEmpty(kChildServer))
            QSKIP("runs as a backup started by ServerStartTest only");
        ServerDatabase::Counts counts;
        QString error;
        ServerDatabase::CopyToFile(qEnvironmentVariable(kChildServer), qEnvironmentVariable(kChildTarget),
                                   &counts, &error, ServerDatabase::Existing::Replace,
                                   [](ShopBackup::Stage, int done, int) {
                                       if (done < 3)
                                           return;
                                       std::printf("copying\n");
                                       std::fflush(stdout);
                                       for (;;)
                                           QThread::sleep(1);
                                   });
    }
};
VORIX_TEST(ServerBackupChild)

// vorix --server: a shop folder set once to work on a database server, and back to its file.
class ServerStartTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<PgServer> m_server;
    QTemporaryDir m_root;
    QString m_startedIn;
    QString m_shop; // the server's shop, prepared once

    QString Folder() const { return QDir::cleanPath(m_root.filePath(QStringLiteral("shop"))); }
    bool Enter(const QStringList& options) {
        QSettings settings(m_root.filePath(QStringLiteral("vorix.conf")), QSettings::IniFormat);
        StartArguments arguments;
        if (StartArguments::Read(QStringList{QStringLiteral("vorix"), QStringLiteral("--shop"), Folder()} +
                                     options,
                                 &arguments) != CommandLine::Verdict::Run)
            return false;
        return theApp.EnterShopFolder(arguments, m_root.filePath(QStringLiteral("program")), settings);
    }
    static qint64 Count(const QString& connectionString, const char* table) {
        EngineError error;
        const ConnectionHandle db = Engine::Open(connectionString, &error);
        bool ok = false;
        const std::unique_ptr<EngineStatement> stmt =
            db ? db->Prepare(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)), &ok)
               : nullptr;
        return stmt && stmt->Next() == EngineStatement::Row ? stmt->Text(0).toLongLong() : -1;
    }

private slots:
    void initTestCase() {
        m_startedIn = QDir::currentPath();
        m_server = std::make_unique<PgServer>();
        QVERIFY2(m_server->IsRunning(), qPrintable(m_server->Failure()));
        m_shop = m_server->ConnectionString();
        QString error;
        QVERIFY2(ServerDatabase::Prepare(m_shop, &error), qPrintable(error));
    }
    void init() { QDir(Folder()).removeRecursively(); }
    void cleanup() {
        QDir::setCurrent(m_startedIn);
        theApp.m_strAppDir.clear();
        ShopConnection::Use({});
    }

    void serverIsSetOnceAndUsedFromThen() {
        BoxRecorder boxes;
        const QString given = m_shop + QStringLiteral(" password=secret");
        QVERIFY(Enter({QStringLiteral("--server"), given}));
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY(boxes.Texts().first().startsWith(QStringLiteral("这个店铺今后使用数据库服务器")));
        QVERIFY(boxes.Texts().first().contains(QStringLiteral("password=***")));
        QVERIFY(!boxes.Texts().first().contains(QStringLiteral("secret")));
        // The folder holds the settings, readable by their owner only, and the backups; no file.
        const QString settings = Folder() + QStringLiteral("/vorix-server.conf");
        QCOMPARE(QFile::permissions(settings) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        QVERIFY(!QFileInfo::exists(Folder() + QStringLiteral("/cddata.mdb")));
        QVERIFY(QFileInfo(Folder() + QStringLiteral("/dbBak")).isDir());
        QCOMPARE(ShopConnection::ServerInfo(ShopConnection::Current()), given);
        QCOMPARE(Count(ShopConnection::Current(), "Operator"), 1);

        // The next start needs no --server and says nothing.
        ShopConnection::Use({});
        boxes.Clear();
        QVERIFY(Enter({}));
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(ShopConnection::ServerInfo(ShopConnection::Current()), given);
    }

    // The connection may be a service of libpq's service file, with its password in a password
    // file: the shop's settings then hold no password, and the box does not speak of one.
    void serviceNameKeepsNoPassword() {
        const QString services = m_root.filePath(QStringLiteral("pg_service.conf"));
        QFile file(services);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[vorixshop]\n" + m_shop.toUtf8().replace(' ', '\n') + "\n");
        file.close();
        qputenv("PGSERVICEFILE", QFile::encodeName(services));
        const auto unset = qScopeGuard([] { qunsetenv("PGSERVICEFILE"); });
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--server"), QStringLiteral("service=vorixshop")}));
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY(!boxes.Texts().first().contains(QStringLiteral("密码")));
        QCOMPARE(Count(ShopConnection::Current(), "Operator"), 1);
        QCOMPARE(ShopConnection::LoadServer(Folder()), QStringLiteral("service=vorixshop"));
        // With a password in the text, the box tells the safer ways.
        boxes.Clear();
        QVERIFY(Enter({QStringLiteral("--server"), m_shop + QStringLiteral(" password=secret")}));
        QVERIFY(boxes.Texts().first().contains(QStringLiteral("~/.pgpass")));
        QVERIFY(boxes.Texts().first().contains(QStringLiteral("service=")));
    }

    void serverThatDoesNotAnswerAsAShopChangesNothing() {
        BoxRecorder boxes;
        QVERIFY(!Enter({QStringLiteral("--server"), m_server->ConnectionString(QStringLiteral("nosuch"))}));
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY(boxes.Texts().first().startsWith(QStringLiteral("无法使用这个数据库服务器")));
        QVERIFY(boxes.Texts().first().contains(QStringLiteral("数据库服务器上没有这个数据库")));
        QVERIFY(!QFileInfo::exists(Folder() + QStringLiteral("/vorix-server.conf")));
    }

    void emptyServerBringsTheShopBackToItsFile() {
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--server"), m_shop}));
        boxes.Clear();
        QVERIFY(Enter({QStringLiteral("--server=")}));
        QCOMPARE(boxes.Texts().first(), QStringLiteral("这个店铺今后使用本机的店铺文件 cddata.mdb。"));
        QVERIFY(!Engine::IsServer(ShopConnection::Current()));
        QVERIFY(QFileInfo::exists(Folder() + QStringLiteral("/cddata.mdb")));
    }

    // 备份 of a server's shop writes a keyed shop file into dbBak/, as the file's backup does.
    void backupOfAServerShopIsAShopFile() {
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--server"), m_shop}));
        const QString target = Folder() + QStringLiteral("/dbBak/cddata-server.mdb");
        QString reason;
        QVERIFY2(BackupProgress::CopyShowingProgress(nullptr, ShopConnection::Current(), target, &reason),
                 qPrintable(reason));
        QString file = QString::fromUtf8(ShopConnection::kFile);
        file.replace(QStringLiteral("cddata.mdb"), target);
        QCOMPARE(Count(file, "Operator"), 1);
        QCOMPARE(Count(file, "Setting"), 1);
    }

    // A backup of a server's shop killed half-way leaves only a temporary file that no restore
    // takes, and the next backup removes it.
    void killedBackupLeavesNothingToRestore() {
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--server"), m_shop}));
        const std::unique_ptr<PGconn, decltype(&PQfinish)> server(PQconnectdb(m_shop.toUtf8().constData()),
                                                                  &PQfinish);
        PGresult* filled =
            PQexec(server.get(), "INSERT INTO Record (ClientID, FilmID, ReturnDate) SELECT 'C1', "
                                 "'F' || i, '2026-12-01' FROM generate_series(1, 20000) i");
        QCOMPARE(PQresultStatus(filled), PGRES_COMMAND_OK);
        PQclear(filled);
        const QString folder = Folder() + QStringLiteral("/dbBak");
        const QString target = folder + QStringLiteral("/2026-12-08 09 05.bak");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildServer), m_shop);
        env.insert(QString::fromLatin1(kChildTarget), target);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("-class"), QStringLiteral("ServerBackupChild")});
        QVERIFY(child.waitForStarted());
        bool copying = false;
        while (!copying && (child.canReadLine() || child.waitForReadyRead(30000)))
            copying = child.readLine() == "copying\n";
        QVERIFY(copying);
        child.kill();
        QVERIFY(child.waitForFinished());

        const QStringList left = Listing(folder);
        QVERIFY2(!left.contains(QStringLiteral("2026-12-08 09 05.bak")), qPrintable(left.join(u' ')));
        const QStringList temporaries = left.filter(
            QRegularExpression(QStringLiteral("^2026-12-08 09 05\\.bak\\.[A-Za-z0-9]{6}\\.part$")));
        QCOMPARE(temporaries.size(), 1);
        const QString part = folder + QLatin1Char('/') + temporaries.first();
        // Neither it, nor it without its log, is taken for a shop.
        QTemporaryDir other;
        const QString shop = other.filePath(QStringLiteral("cddata.mdb"));
        QString error;
        QVERIFY2(ShopDatabase::Prepare(shop, &error), qPrintable(error));
        QFile prepared(shop);
        QVERIFY(prepared.open(QIODevice::ReadOnly));
        const QByteArray before = prepared.readAll();
        prepared.close();
        QCOMPARE(Restore(part, shop), 1);
        const QString alone = other.filePath(QStringLiteral("alone.bak"));
        QVERIFY(QFile::copy(part, alone));
        QCOMPARE(Restore(alone, shop), 1);
        QVERIFY(prepared.open(QIODevice::ReadOnly));
        QCOMPARE(prepared.readAll(), before);

        // The next backup clears it away; one more in the same minute takes the first one's place.
        for (int i = 0; i < 2; ++i) {
            QString reason;
            QVERIFY2(BackupProgress::CopyShowingProgress(nullptr, ShopConnection::Current(), target, &reason),
                     qPrintable(reason));
            QCOMPARE(Listing(folder), QStringList{QStringLiteral("2026-12-08 09 05.bak")});
        }
        QString file = QString::fromUtf8(ShopConnection::kFile);
        file.replace(QStringLiteral("cddata.mdb"), target);
        QCOMPARE(Count(file, "Record"), 20000);
        QCOMPARE(Restore(target, shop), 0);
        PGresult* emptied = PQexec(server.get(), "DELETE FROM Record");
        PQclear(emptied);
    }
};
VORIX_TEST(ServerStartTest)
#include "tst_ServerStart.moc"
