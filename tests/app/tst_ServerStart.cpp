#include "PgServer.h"
#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/BackupProgress.h"
#include "data/engine/Engine.h"
#include "data/engine/ShopConnection.h"
#include "data/shop/ServerDatabase.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using namespace Shell;

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
        return theApp.EnterShopFolder(
            QStringList{QStringLiteral("vorix"), QStringLiteral("--shop"), Folder()} + options,
            m_root.filePath(QStringLiteral("program")), settings);
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
        QVERIFY2(CopyShowingProgress(nullptr, ShopConnection::Current(), target, &reason),
                 qPrintable(reason));
        QString file = QString::fromUtf8(kConnectionString);
        file.replace(QStringLiteral("cddata.mdb"), target);
        QCOMPARE(Count(file, "Operator"), 1);
        QCOMPARE(Count(file, "Setting"), 1);
    }
};
VORIX_TEST(ServerStartTest)
#include "tst_ServerStart.moc"
