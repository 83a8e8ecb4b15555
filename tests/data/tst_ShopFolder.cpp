#include "Shop.h"
#include "TestRegistry.h"

#include "data/shop/NetworkShare.h"
#include "data/shop/ShopFolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// Makes a folder current for a scope, as the program does with the shop folder.
class InFolder {
public:
    explicit InFolder(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~InFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};
} // namespace

// Where the shop's data lives, and the first start in a folder.
class ShopFolderTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_root;

    QString Path(const QString& relative) const { return QDir::cleanPath(m_root.filePath(relative)); }
    std::unique_ptr<QSettings> Settings() const {
        return std::make_unique<QSettings>(m_root.filePath(QStringLiteral("vorix.conf")),
                                           QSettings::IniFormat);
    }

private slots:
    void init() {
        QDir(m_root.path()).removeRecursively();
        QDir().mkpath(m_root.path());
        QDir().mkpath(Path(QStringLiteral("program")));
        QDir().mkpath(Path(QStringLiteral("started-in")));
    }

    // The program folder with a shop wins over everything; then --shop, the remembered folder, the
    // user's data folder.
    void choice_data() {
        QTest::addColumn<bool>("programHoldsShop");
        QTest::addColumn<QString>("shop"); // the folder of --shop, as given
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("folder"); // relative to the test's root; "<data>" the default
        QTest::addColumn<bool>("portable");
        QTest::addColumn<bool>("given");
        QTest::newRow("portable") << true << QString() << QString() << u"program"_s << true << false;
        QTest::newRow("portable, --shop given")
            << true << u"/elsewhere"_s << u"/kept"_s << u"program"_s << true << false;
        QTest::newRow("--shop absolute")
            << false << Path(u"shops/a"_s) << u"/kept"_s << u"shops/a"_s << false << true;
        QTest::newRow("--shop relative")
            << false << u"../shops/b/"_s << QString() << u"shops/b"_s << false << true;
        QTest::newRow("remembered") << false << QString() << Path(u"shops/kept"_s) << u"shops/kept"_s << false
                                    << false;
        QTest::newRow("default") << false << QString() << QString() << u"<data>"_s << false << false;
    }
    void choice() {
        QFETCH(bool, programHoldsShop);
        QFETCH(QString, shop);
        QFETCH(QString, remembered);
        QFETCH(QString, folder);
        QFETCH(bool, portable);
        QFETCH(bool, given);
        if (programHoldsShop)
            QVERIFY(QFile(Path(QStringLiteral("program/cddata.mdb"))).open(QIODevice::WriteOnly));
        auto settings = Settings();
        if (!remembered.isEmpty())
            ShopFolder::Remember(*settings, remembered);
        InFolder startedIn(Path(QStringLiteral("started-in")));
        const ShopFolder::Choice choice =
            ShopFolder::Choose(shop, Path(QStringLiteral("program")), *settings);
        const QString expected = folder == QLatin1String("<data>")
                                     ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                           QStringLiteral("/vorix")
                                     : Path(folder);
        QCOMPARE(choice.folder, QDir::cleanPath(expected));
        QCOMPARE(choice.portable, portable);
        QCOMPARE(choice.given, given);
    }

    void rememberedSurvivesANewSettingsObject() {
        ShopFolder::Remember(*Settings(), Path(QStringLiteral("shops/kept")));
        const ShopFolder::Choice choice =
            ShopFolder::Choose(QString(), Path(QStringLiteral("program")), *Settings());
        QCOMPARE(choice.folder, Path(QStringLiteral("shops/kept")));
    }

    // The first start makes the folder, the shop with its first administrator, and dbBak/; the second
    // finds them and changes nothing.
    void firstStartPreparesSecondReuses() {
        const QString folder = Path(QStringLiteral("new/shop folder"));
        bool prepared = false;
        QString error;
        QVERIFY2(ShopFolder::Ready(folder, &prepared, &error), qPrintable(error));
        QVERIFY(prepared);
        QVERIFY(QFileInfo(folder + QStringLiteral("/dbBak")).isDir());
        {
            InFolder in(folder);
            QCOMPARE(Db::Value(QStringLiteral("SELECT OptName AS v FROM Operator")), QStringLiteral("Admin"));
            QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Operator (OptName, OptPwd, Type) "
                                            "VALUES ('Kasse', 'x', '操作员')")));
        }
        QVERIFY(QDir(folder + QStringLiteral("/dbBak")).removeRecursively());
        QVERIFY2(ShopFolder::Ready(folder, &prepared, &error), qPrintable(error));
        QVERIFY(!prepared);
        QVERIFY(QFileInfo(folder + QStringLiteral("/dbBak")).isDir()); // made again when missing
        InFolder in(folder);
        QCOMPARE(Db::Count(QStringLiteral("Operator")), 2);
        // No probe file is left behind.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".vorix-")),
                 QStringList());
    }

    void folderThatCannotBeUsed_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("error");
        QTest::newRow("under a file") << u"a-file/shop"_s << false << u"无法建立文件夹。"_s;
        QTest::newRow("a file") << u"a-file"_s << false << u"无法建立文件夹。"_s;
        QTest::newRow("read-only folder") << u"read-only"_s << true << u"这个文件夹不能写入。"_s;
    }
    void folderThatCannotBeUsed() {
        QFETCH(QString, folder);
        QFETCH(bool, readOnly);
        QFETCH(QString, error);
        QVERIFY(QFile(Path(QStringLiteral("a-file"))).open(QIODevice::WriteOnly));
        if (readOnly) {
            if (geteuid() == 0)
                QSKIP("the superuser writes into any folder");
            QVERIFY(QDir().mkpath(Path(folder)));
            QVERIFY(QFile::setPermissions(Path(folder), QFile::ReadOwner | QFile::ExeOwner));
        }
        bool prepared = true;
        QString said;
        QVERIFY(!ShopFolder::Ready(Path(folder), &prepared, &said));
        QVERIFY(!prepared);
        QCOMPARE(said, error);
        if (readOnly)
            QFile::setPermissions(Path(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The file system of a folder is that of the deepest mount holding it, as the mount table says.
    void fileSystemOfAFolder_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("network");
        QTest::newRow("root disk") << u"/home/shop"_s << u"ext4"_s << false;
        QTest::newRow("nfs share") << u"/srv/nfs/shop"_s << u"nfs4"_s << true;
        QTest::newRow("the mount point itself") << u"/srv/nfs"_s << u"nfs4"_s << true;
        QTest::newRow("a name that only starts alike") << u"/srv/nfs2/shop"_s << u"ext4"_s << false;
        QTest::newRow("smb share, space in its name") << u"/mnt/店 共享/shop"_s << u"cifs"_s << true;
        QTest::newRow("sshfs") << u"/home/a/remote/x"_s << u"fuse.sshfs"_s << true;
        QTest::newRow("local fuse") << u"/media/usb/shop"_s << u"fuseblk"_s << false;
        QTest::newRow("mounted over, the later wins") << u"/data/shop"_s << u"xfs"_s << false;
        QTest::newRow("tmpfs") << u"/tmp/x"_s << u"tmpfs"_s << false;
    }
    void fileSystemOfAFolder() {
        QFETCH(QString, path);
        QFETCH(QString, type);
        QFETCH(bool, network);
        const QByteArray mountinfo =
            "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
            "30 22 0:40 / /srv/nfs rw,relatime shared:9 - nfs4 server:/export rw,vers=4.2\n"
            "31 22 0:41 / /mnt/店\\040共享 rw - cifs //pc/share rw\n" // the kernel writes a space as \040
            "32 22 0:42 / /home/a/remote rw,nosuid - fuse.sshfs a@pc:/ rw\n"
            "33 22 8:17 / /media/usb rw - fuseblk /dev/sdb1 rw\n"
            "34 22 0:43 / /data rw - nfs server:/data rw\n"
            "35 34 8:2 / /data rw - xfs /dev/sda2 rw\n"
            "36 22 0:44 / /tmp rw - tmpfs tmpfs rw\n";
        QCOMPARE(NetworkShare::FileSystemType(path, mountinfo), type);
        QCOMPARE(NetworkShare::IsNetwork(type), network);
    }

    void thisMachinesTemporaryFolderIsLocal() {
        const QString type = NetworkShare::FileSystemType(QDir::tempPath());
        QVERIFY(!type.isEmpty());
        QVERIFY2(!NetworkShare::IsNetwork(type), qPrintable(type));
    }
};
VORIX_TEST_ON_FILE_ONLY(ShopFolderTest)
#include "tst_ShopFolder.moc"
