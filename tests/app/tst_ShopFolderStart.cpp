#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CAboutDlg.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CAboutDlg.h"
#include "data/shop/ShopBackup.h"
#include "data/shop/ShopFolder.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

using namespace Shell;

// The program entering its shop folder at start-up: which folder, what it says, what it keeps.
class ShopFolderStartTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;
    QString m_startedIn;
    QByteArray m_dataHome;

    QString Path(const QString& relative) const { return QDir::cleanPath(m_root.filePath(relative)); }
    QString Program() const { return Path(QStringLiteral("program")); }
    std::unique_ptr<QSettings> Settings() const {
        return std::make_unique<QSettings>(Path(QStringLiteral("vorix.conf")), QSettings::IniFormat);
    }
    bool Enter(const QStringList& options) {
        StartArguments arguments;
        if (StartArguments::Read(QStringList{QStringLiteral("vorix")} + options, &arguments) !=
            CommandLine::Verdict::Run)
            return false;
        return theApp.EnterShopFolder(arguments, Program(), *Settings());
    }
    static QString FirstStartText(const QString& folder) {
        return QStringLiteral(
                   "这是第一次在这里使用 Vorix,已建立新的店铺数据:\n%1\n\n首次登陆:用户 Admin,密码 admin。"
                   "登陆后请立即修改密码。")
            .arg(folder);
    }

private slots:
    void initTestCase() {
        m_startedIn = QDir::currentPath();
        m_dataHome = qgetenv("XDG_DATA_HOME");
    }
    void init() {
        QDir(m_root.path()).removeRecursively();
        QDir().mkpath(Program());
        // The user's data folder of this test: ~/.local/share stays untouched.
        qputenv("XDG_DATA_HOME", Path(QStringLiteral("home-data")).toUtf8());
    }
    void cleanup() {
        QDir::setCurrent(m_startedIn);
        theApp.m_strAppDir.clear();
        if (m_dataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_dataHome);
    }

    void firstStartInTheUserFolderSaysSoOnce() {
        const QString folder = Path(QStringLiteral("home-data/vorix"));
        BoxRecorder boxes;
        QVERIFY(Enter({}));
        QCOMPARE(boxes.Texts(), QStringList{FirstStartText(folder)});
        QCOMPARE(boxes.Boxes().at(0).icon, MsgIcon::Information);
        QCOMPARE(theApp.m_strAppDir, folder);
        QCOMPARE(QDir::currentPath(), folder);
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("/cddata.mdb")));
        QVERIFY(QFileInfo(folder + QStringLiteral("/dbBak")).isDir());
        QVERIFY(!QFileInfo::exists(Program() + QStringLiteral("/cddata.mdb")));
        // The default is not written into the settings: a moved data folder still follows the user.
        QVERIFY(!Settings()->contains(QStringLiteral("shop/folder")));

        boxes.Clear();
        QDir::setCurrent(m_startedIn);
        QVERIFY(Enter({}));
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(QDir::currentPath(), folder);
    }

    void givenFolderIsRememberedForTheNextStart() {
        const QString folder = Path(QStringLiteral("shops/counter"));
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--shop"), folder}));
        QCOMPARE(boxes.Texts(), QStringList{FirstStartText(folder)});
        QCOMPARE(Settings()->value(QStringLiteral("shop/folder")).toString(), folder);
        boxes.Clear();
        QDir::setCurrent(m_startedIn);
        QVERIFY(Enter({}));
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(theApp.m_strAppDir, folder);
        QVERIFY(!QFileInfo::exists(Path(QStringLiteral("home-data/vorix"))));
    }

    void portableCopyStaysInItsFolder() {
        {
            TempShop shop;
            QVERIFY(Db::Exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")));
            QVERIFY(QFile::copy(shop.DatabasePath(), Program() + QStringLiteral("/cddata.mdb")));
        }
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--shop"), Path(QStringLiteral("shops/ignored"))}));
        QCOMPARE(boxes.Texts(), QStringList());
        QCOMPARE(theApp.m_strAppDir, Program());
        QCOMPARE(QDir::currentPath(), Program());
        QVERIFY(!QFileInfo::exists(Path(QStringLiteral("shops/ignored"))));
        QVERIFY(!Settings()->contains(QStringLiteral("shop/folder")));
    }

    void unusableFolderIsAnErrorAndNothingElse() {
        QVERIFY(QFile(Path(QStringLiteral("a-file"))).open(QIODevice::WriteOnly));
        const QString folder = Path(QStringLiteral("a-file/shop"));
        BoxRecorder boxes;
        QVERIFY(!Enter({QStringLiteral("--shop"), folder}));
        QCOMPARE(boxes.Texts(),
                 QStringList{QStringLiteral(
                                 "无法使用店铺数据文件夹:\n%1\n\n无法建立文件夹。\n请换一个可以写入的文件夹,"
                                 "用 --shop 文件夹 启动 Vorix。")
                                 .arg(folder)});
        QCOMPARE(boxes.Boxes().at(0).icon, MsgIcon::Error);
        QCOMPARE(QDir::currentPath(), m_startedIn);
        QVERIFY(!Settings()->contains(QStringLiteral("shop/folder")));
    }

    // A new shop is its owner's alone: the folder, the file with the engine's files beside it,
    // dbBak/ and the backups in it.
    void newShopIsItsOwnersAlone() {
        const QString folder = Path(QStringLiteral("shops/private"));
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--shop"), folder}));
        QCOMPARE(boxes.Texts(), QStringList{FirstStartText(folder)});
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID) VALUES ('F1')"))); // the log is written
        const QString backup = folder + QStringLiteral("/dbBak/2026-12-08 09 05.bak");
        QString error;
        QVERIFY2(
            ShopBackup::Copy(DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)),
                             backup, &error),
            qPrintable(error));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        for (const QString& name :
             {QStringLiteral("cddata.mdb"), QStringLiteral("cddata.mdb-wal"),
              QStringLiteral("cddata.mdb-shm"), QStringLiteral("dbBak/2026-12-08 09 05.bak")}) {
            QVERIFY2(QFileInfo::exists(folder + u'/' + name), qPrintable(name));
            QCOMPARE(QFile::permissions(folder + u'/' + name) & (others | QFile::ExeOwner),
                     QFile::Permissions());
        }
        for (const QString& name : {folder, folder + QStringLiteral("/dbBak")})
            QCOMPARE(QFile::permissions(name) & others, QFile::Permissions());
        QCOMPARE(ShopFolder::TightenPermissions(folder), QStringList());
    }

    // A shop others could read is made its owner's at the start, which says so once.
    void looserShopIsTightenedOnce() {
        const QString folder = Path(QStringLiteral("shops/loose"));
        BoxRecorder boxes;
        QVERIFY(Enter({QStringLiteral("--shop"), folder}));
        const QFile::Permissions file = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                        QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
        const QFile::Permissions dir =
            file | QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
        QFile backup(folder + QStringLiteral("/dbBak/old.bak"));
        QVERIFY(backup.open(QIODevice::WriteOnly));
        backup.close();
        QVERIFY(QFile::setPermissions(backup.fileName(), file));
        QVERIFY(QFile::setPermissions(folder + QStringLiteral("/cddata.mdb"), file));
        QVERIFY(QFile::setPermissions(folder + QStringLiteral("/dbBak"), dir));
        boxes.Clear();
        QVERIFY(Enter({}));
        QCOMPARE(boxes.Texts().size(), 1);
        QVERIFY2(boxes.Texts().first().contains(
                     QStringLiteral("只有本用户可以使用:\ncddata.mdb\ndbBak\ndbBak/old.bak")),
                 qPrintable(boxes.Texts().first()));
        for (const QString& name :
             {QStringLiteral("/cddata.mdb"), QStringLiteral("/dbBak"), QStringLiteral("/dbBak/old.bak")})
            QCOMPARE(QFile::permissions(folder + name) &
                         (QFile::ReadGroup | QFile::ReadOther | QFile::ExeOther),
                     QFile::Permissions());
        QCOMPARE(QFile::permissions(folder + QStringLiteral("/dbBak")) & QFile::ExeOwner, QFile::ExeOwner);
        boxes.Clear();
        QVERIFY(Enter({}));
        QCOMPARE(boxes.Texts(), QStringList());
    }

    // A long path is shortened in the middle, so the box still fits the counter's screen.
    void aboutShowsTheShopFolder_data() {
        QTest::addColumn<int>("depth");
        QTest::newRow("short") << 0;
        QTest::newRow("very long") << 30;
    }
    void aboutShowsTheShopFolder() {
        QFETCH(int, depth);
        TempShop shop;
        QString folder = shop.Dir();
        for (int i = 0; i < depth; ++i)
            folder += QStringLiteral("/店铺数据文件夹第%1层").arg(i);
        theApp.m_strAppDir = folder;
        Frame frame;
        QString line;
        QString tip;
        bool shown = false;
        int width = 0;
        {
            ModalScript script([&](CDialog& dialog) {
                auto* about = qobject_cast<CAboutDlg*>(&dialog);
                QVERIFY(about);
                line = about->Form()->folderLabel->text();
                tip = about->Form()->folderLabel->toolTip();
                shown = !about->Form()->folderLabel->isHidden();
                width = about->sizeHint().width();
                about->OnOK();
            });
            frame->Action(RowOf(&CRentalApp::OnAppAbout))->trigger();
        }
        QVERIFY(shown);
        QCOMPARE(tip, folder);
        if (depth == 0) {
            QCOMPARE(line, QStringLiteral("数据文件夹:\n") + folder);
        } else {
            QVERIFY2(line.startsWith(QStringLiteral("数据文件夹:\n") + shop.Dir()), qPrintable(line));
            QVERIFY2(line.endsWith(QStringLiteral("第%1层").arg(depth - 1)), qPrintable(line));
            QVERIFY2(line.contains(QChar(0x2026)), qPrintable(line));
        }
        QVERIFY2(width < 1024, qPrintable(QString::number(width)));
    }
};
VORIX_TEST(ShopFolderStartTest)
#include "tst_ShopFolderStart.moc"
