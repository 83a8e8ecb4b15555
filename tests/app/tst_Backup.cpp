#include "EngineTrace.h"
#include "Shell.h"
#include "TestRegistry.h"
#include "ui_CLoginDlg.h" // generated for Shell.h

#include "app/CBackdropView.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/engine/file/FileError.h"
#include "data/shop/ShopBackup.h"
#include "data/shop/ShopDatabase.h"

#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

using namespace Shell;

namespace {
const QDateTime kNow(QDate(2026, 12, 8), QTime(9, 5, 12));
const QString kBackupName = QStringLiteral("2026-12-08 09 05.bak");
const char* const kRows = "SELECT (SELECT count(*) FROM Film)||' '||(SELECT count(*) FROM Client)||' '||"
                          "(SELECT count(*) FROM Record)||' '||(SELECT group_concat(FilmID) FROM Record);";

// The sqlcipher shell reads a file, keyed as the shop's owner keys it (or not at all); its output,
// or empty when it failed.
QByteArray ShellReadsFile(const QString& path, const QByteArray& query,
                          const QByteArray& key = "mqvetra531") {
    QProcess child;
    child.start(QStandardPaths::findExecutable(QStringLiteral("sqlcipher")), {path});
    if (!child.waitForStarted())
        return {};
    child.write((key.isEmpty() ? QByteArray() : "PRAGMA key='" + key + "';\n") + query + "\n.quit\n");
    child.closeWriteChannel();
    if (!child.waitForFinished(10000) || child.exitCode() != 0)
        return {};
    return child.readAllStandardOutput().trimmed();
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Listing(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

void Lend(const char* film, const char* type, const char* returned) {
    QVERIFY(
        Db::Exec(QStringLiteral("INSERT INTO Record (ClientID,FilmID,Type,BorrowDate,ReturnDate,OptUser) "
                                "VALUES('C1','%1','%2','2026-12-01','%3','Admin')")
                     .arg(QString::fromUtf8(film), QString::fromUtf8(type), QString::fromUtf8(returned))));
}

// A shop with a film, a client and rentals, written through the program's own pooled connections.
void Stock() {
    QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,FilmName,Type) VALUES('V1','英雄','VCD')")));
    QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Client (ClientID) VALUES('C1')")));
    Lend("V1", "月租", "2026-12-02");
    Lend("V1", "月租", "");
}

// Films with long remarks: a shop of some 4000 pages, which the backup copies in several steps.
void StockMany() {
    QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Film (FilmID,Remark) WITH RECURSIVE n(i) AS "
                                    "(SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3000) "
                                    "SELECT 'B'||i, hex(zeroblob(500)) FROM n")));
}

ConnectionSettings ShopSettings(const QString& path) {
    ConnectionSettings settings =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    settings.dataSource = path;
    return settings;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Another program's write lock on the shop, taken through the engine: connections that have the
// file open go on reading, a new one waits (its busy timeout) until the lock is released.
class OtherProgramsLock {
public:
    explicit OtherProgramsLock(const QString& path) {
        QString error;
        m_db = DatabaseOpen::OpenDatabase(ShopSettings(path), &error);
        if (!m_db ||
            sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_FILE_POINTER, &m_file) != SQLITE_OK ||
            !m_file || m_file->pMethods->xLock(m_file, SQLITE_LOCK_SHARED) != SQLITE_OK ||
            m_file->pMethods->xLock(m_file, SQLITE_LOCK_RESERVED) != SQLITE_OK) {
            m_file = nullptr;
            return;
        }
        // Fails while the program's own connections read the file, but leaves new readers waiting.
        m_file->pMethods->xLock(m_file, SQLITE_LOCK_EXCLUSIVE);
    }
    ~OtherProgramsLock() { Release(); }
    bool Held() const { return m_file; }
    void Release() {
        if (m_file)
            m_file->pMethods->xUnlock(m_file, SQLITE_LOCK_NONE);
        m_file = nullptr;
    }

private:
    DatabaseHandle m_db;
    sqlite3_file* m_file = nullptr;
};

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

QProgressDialog* ShownProgressDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

const char* const kChildFolder = "VORIX_BACKUP_CHILD";
const QString kChildsBackupName = QStringLiteral("2026-12-08 08 10.bak");
} // namespace

// A backup in a program of its own, killed half-way by the test that starts it.
class BackupChild : public QObject {
    Q_OBJECT
private slots:
    void stopsHalfWay() {
        const QString folder = qEnvironmentVariable(kChildFolder);
        if (folder.isEmpty())
            QSKIP("runs as a backup started by BackupTest only");
        QString error;
        ShopBackup::Copy(ShopSettings(folder + QStringLiteral("/cddata.mdb")),
                         folder + QStringLiteral("/dbBak/") + kChildsBackupName, &error,
                         [](ShopBackup::Stage, int, int) {
                             std::printf("copying\n");
                             std::fflush(stdout);
                             for (;;)
                                 QThread::sleep(1);
                         });
    }
};

class BackupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { ResetSession(); }

    void fileName_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("path");
        const QDateTime nov(QDate(2005, 11, 20), QTime(14, 5, 59));
        QTest::newRow("folder") << "/shop" << nov << "/shop/dbBak/2005-11-20 14 05.bak";
        QTest::newRow("folder with separator") << "/shop/" << nov << "/shop/dbBak/2005-11-20 14 05.bak";
        QTest::newRow("root") << "/" << nov << "/dbBak/2005-11-20 14 05.bak";
        QTest::newRow("midnight") << "/s" << QDateTime(QDate(2024, 1, 2), QTime(0, 0))
                                  << "/s/dbBak/2024-01-02 00 00.bak";
        QTest::newRow("last minute") << "/s" << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))
                                     << "/s/dbBak/2024-12-31 23 59.bak";
    }
    void fileName() {
        QFETCH(QString, folder);
        QFETCH(QDateTime, when);
        QFETCH(QString, path);
        QCOMPARE(ShopBackup::TargetPath(folder, when), path);
    }

    // The copy is made while the program holds the file, with its last rental still in the log.
    void backupIsACompleteEncryptedCopy() {
        TempShop shop;
        FixedClock clock(kNow);
        Frame frame;
        Stock();
        QVERIFY(QFileInfo(shop.DatabasePath() + QStringLiteral("-wal")).size() > 0);
        BoxRecorder boxes;
        frame->OnBackup();
        const QString target = QDir(shop.Dir()).filePath(QStringLiteral("dbBak/") + kBackupName);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("数据库已备份到") + target});
        QCOMPARE(boxes.Boxes().at(0).caption, QStringLiteral("备份成功!"));
        QCOMPARE(boxes.Boxes().at(0).icon, MsgIcon::Information);
        QCOMPARE(Listing(shop.Dir() + QStringLiteral("/dbBak")), QStringList{kBackupName});

        QCOMPARE(ShellReadsFile(target, kRows), QByteArray("1 1 2 V1,V1"));
        QCOMPARE(ShellReadsFile(target, "PRAGMA integrity_check;"), QByteArray("ok"));
        QCOMPARE(ShellReadsFile(target, "PRAGMA journal_mode;"), QByteArray("wal"));
        QCOMPARE(ShellReadsFile(target, kRows, QByteArray()), QByteArray());
        QVERIFY(!Bytes(target).startsWith("SQLite format 3"));

        // A second backup in the same minute replaces the first.
        Lend("V2", "零租", "");
        frame->OnBackup();
        QCOMPARE(Listing(shop.Dir() + QStringLiteral("/dbBak")), QStringList{kBackupName});
        QCOMPARE(ShellReadsFile(target, kRows), QByteArray("1 1 3 V1,V1,V2"));
        // The program's own connections still work: the copy left their locks alone.
        QCOMPARE(Db::Count(QStringLiteral("Record")), 3);
    }

    void failureLeavesTheEarlierBackup_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("missing folder") << "missing";
        QTest::newRow("missing database") << "no database";
    }
    void failureLeavesTheEarlierBackup() {
        QFETCH(QString, failure);
        if (failure == QLatin1String("read-only") && geteuid() == 0)
            QSKIP("root writes into a read-only folder");
        TempShop shop;
        FixedClock clock(kNow);
        Frame frame;
        Stock();
        const QString folder = shop.Dir() + QStringLiteral("/dbBak");
        const QString target = folder + QLatin1Char('/') + kBackupName;
        BoxRecorder boxes;
        frame->OnBackup();
        const QByteArray earlier = Bytes(target);
        QVERIFY(!earlier.isEmpty());

        if (failure == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (failure == QLatin1String("missing")) {
            QVERIFY(QDir(folder).removeRecursively());
        } else {
            QVERIFY(QFile::rename(shop.DatabasePath(), shop.Dir() + QStringLiteral("/elsewhere.mdb")));
        }
        boxes.Clear();
        frame->OnBackup();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(boxes.Texts(),
                 QStringList{QStringLiteral("数据库备份到") + target + QStringLiteral("时,失败")});
        QCOMPARE(boxes.Boxes().at(0).caption, QStringLiteral("备份失败!"));
        QCOMPARE(boxes.Boxes().at(0).icon, MsgIcon::Warning);
        if (failure == QLatin1String("missing")) {
            QVERIFY(!QFileInfo::exists(folder)); // never created
        } else {
            QCOMPARE(Listing(folder), QStringList{kBackupName}); // no temporary file left
            QCOMPARE(Bytes(target), earlier);
        }
    }

    // The copy goes in steps and tells how far it is; rentals written at a desk between the steps
    // neither stop it nor start it again, and the copy is of the moment it began.
    void copyStepsThroughOneMoment() {
        TempShop shop;
        Stock();
        StockMany();
        const QString target = shop.Dir() + QStringLiteral("/dbBak/") + kBackupName;
        QList<ShopBackup::Stage> stages;
        QList<int> copied;
        int pages = 0;
        QString error;
        QVERIFY2(ShopBackup::Copy(ShopSettings(QStringLiteral("cddata.mdb")), target, &error,
                                  [&](ShopBackup::Stage stage, int done, int total) {
                                      stages << stage;
                                      if (stage != ShopBackup::Stage::Copying)
                                          return;
                                      copied << done;
                                      pages = total;
                                      if (copied.size() <= 3)
                                          Lend("V1", "零租", "2026-12-03");
                                  }),
                 qPrintable(error));
        QVERIFY2(copied.size() >= 4, qPrintable(QString::number(copied.size())));
        QCOMPARE(copied.first(), ShopBackup::kPagesPerStep);
        QCOMPARE(copied.last(), pages);
        QVERIFY(std::is_sorted(copied.begin(), copied.end()));
        QCOMPARE(stages.mid(copied.size()), QList<ShopBackup::Stage>({ShopBackup::Stage::CheckingCopy,
                                                                      ShopBackup::Stage::CheckingCopy}));
        QCOMPARE(Db::Count(QStringLiteral("Record")), 5);
        QCOMPARE(ShellReadsFile(target, "SELECT count(*) FROM Record;"), QByteArray("2"));
        QCOMPARE(ShellReadsFile(target, "PRAGMA integrity_check;"), QByteArray("ok"));
    }

    // What a killed backup left in dbBak/ goes with the next backup; nothing else does.
    void staleTemporariesGoWithTheNextBackup() {
        TempShop shop;
        FixedClock clock(kNow);
        Frame frame;
        Stock();
        const QString folder = shop.Dir() + QStringLiteral("/dbBak/");
        const QString stale = folder + kChildsBackupName + QStringLiteral(".iOIExd.part");
        WriteFile(stale, Bytes(shop.DatabasePath()).left(8192));
        for (const char* side : {"-wal", "-shm", "-journal"})
            WriteFile(stale + QLatin1String(side), QByteArray(4096, 'x'));
        WriteFile(folder + QStringLiteral("2026-12-07 18 00.bak.AbCd3f.part-shm"), QByteArray(4096, 'x'));
        // A temporary alone, its logs gone; and what an earlier Vorix left of a server's copy.
        WriteFile(folder + QStringLiteral("2026-12-07 17 00.bak.Zz9Yx8.part"),
                  Bytes(shop.DatabasePath()).left(8192));
        for (const char* side : {"", "-wal", "-shm"})
            WriteFile(folder + QStringLiteral("2026-12-06 12 00.bak.moving") + QLatin1String(side),
                      QByteArray(4096, 'x'));
        const QStringList kept{kChildsBackupName,
                               kChildsBackupName + QStringLiteral(".iOIExd.part.old"),
                               kChildsBackupName + QStringLiteral(".iOIExdx.part"),
                               QStringLiteral("cddata.mdb.iOIExd.part"),
                               kChildsBackupName + QStringLiteral(".moving.old"),
                               QStringLiteral("notes.txt"),
                               QStringLiteral("x") + kChildsBackupName + QStringLiteral(".iOIExd.part")};
        for (const QString& name : kept)
            WriteFile(folder + name, name.toUtf8());
        BoxRecorder boxes;
        frame->OnBackup();
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("数据库已备份到") + folder + kBackupName});
        QStringList expected = kept;
        expected << kBackupName;
        expected.sort();
        QCOMPARE(Listing(folder), expected);
        for (const QString& name : kept)
            QCOMPARE(Bytes(folder + name), name.toUtf8());
    }

    // A backup running in another program keeps its temporary file; once that program is killed,
    // the next backup removes what it left.
    void temporaryOfARunningBackupStaysUntilItIsKilled() {
        TempShop shop;
        FixedClock clock(kNow);
        Frame frame;
        Stock();
        StockMany();
        const QString folder = shop.Dir() + QStringLiteral("/dbBak");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildFolder), shop.Dir());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("-class"), QStringLiteral("BackupChild")});
        QVERIFY(child.waitForStarted());
        // The test framework's own lines come first.
        bool copying = false;
        while (!copying && (child.canReadLine() || child.waitForReadyRead(30000)))
            copying = child.readLine() == "copying\n";
        QVERIFY(copying);
        const QStringList running = Listing(folder);
        QCOMPARE(running.filter(QRegularExpression(QStringLiteral("\\.part$"))).size(), 1);

        BoxRecorder boxes;
        frame->OnBackup();
        QStringList expected = running;
        expected << kBackupName;
        expected.sort();
        QCOMPARE(Listing(folder), expected);

        child.kill();
        QVERIFY(child.waitForFinished());
        frame->OnBackup();
        QCOMPARE(Listing(folder), QStringList{kBackupName});
        QCOMPARE(boxes.Texts(),
                 QStringList(2, QStringLiteral("数据库已备份到") + folder + QLatin1Char('/') + kBackupName));
    }

    // While the copy runs (here it waits for another program's lock on the shop), a progress
    // dialog is up and the window keeps painting; the boxes afterwards are as they always were.
    void backupRunsOffTheWindowsThread() {
        TempShop shop;
        FixedClock clock(kNow);
        Frame frame;
        Stock();
        QVERIFY(frame.ShowActive());
        OtherProgramsLock busy(shop.DatabasePath());
        QVERIFY(busy.Held());
        PaintCounter view(frame->View());
        bool progressShown = false;
        bool windowPainted = false;
        QTimer::singleShot(0, [&] {
            const auto release = qScopeGuard([&] { busy.Release(); });
            QTRY_VERIFY(ShownProgressDialog());
            progressShown = ShownProgressDialog()->isModal();
            const int before = view.paints;
            frame->View()->update();
            QTRY_VERIFY(view.paints > before);
            windowPainted = true;
        });
        BoxRecorder boxes;
        frame->OnBackup();
        QVERIFY(progressShown);
        QVERIFY(windowPainted);
        QVERIFY(!ShownProgressDialog());
        const QString target = QDir(shop.Dir()).filePath(QStringLiteral("dbBak/") + kBackupName);
        QCOMPARE(boxes.Texts(), QStringList{QStringLiteral("数据库已备份到") + target});
        QCOMPARE(boxes.Boxes().at(0).caption, QStringLiteral("备份成功!"));
        QCOMPARE(boxes.Boxes().at(0).icon, MsgIcon::Information);
        QCOMPARE(ShellReadsFile(target, kRows), QByteArray("1 1 2 V1,V1"));
    }
};

class RestoreTest : public QObject {
    Q_OBJECT
private:
    // Runs vorix-restore BACKUP SHOP; its exit code.
    static int Restore(const QString& backup, const QString& shop, QByteArray* output = nullptr) {
        QProcess tool;
        tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vorix-restore"), {backup, shop});
        if (!tool.waitForFinished(30000))
            return -1;
        if (output)
            *output = tool.readAllStandardOutput();
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }

    // A backup of a stocked shop, and a freshly prepared shop in another folder that no
    // connection of this process has open.
    struct Shops {
        TempShop shop;
        BoxRecorder boxes;
        QTemporaryDir other;
        QString backup = shop.Dir() + QStringLiteral("/dbBak/") + kBackupName;
        QString target = other.filePath(QStringLiteral("cddata.mdb"));
        Shops() {
            Stock();
            QString error;
            QVERIFY2(ShopBackup::Copy(ShopSettings(QStringLiteral("cddata.mdb")), backup, &error),
                     qPrintable(error));
            QVERIFY2(ShopDatabase::Prepare(target, &error), qPrintable(error));
        }
    };

private slots:
    void restoresTheBackupsRows() {
        Shops s;
        // A log left by a crash beside the old file must not be replayed onto the restored one.
        for (const char* side : {"-wal", "-shm"}) {
            QFile log(s.target + QLatin1String(side));
            QVERIFY(log.open(QIODevice::WriteOnly));
            log.write(QByteArray(4096, 'x'));
        }
        const QFile::Permissions shared =
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup;
        QVERIFY(QFile::setPermissions(s.target, shared));
        QByteArray output;
        QCOMPARE(Restore(s.backup, s.target, &output), 0);
        // Each stage on a line of its own as it begins, the copy's tenths as they are written.
        const QList<QByteArray> lines = output.trimmed().split('\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith("vorix-restore: checking the backup (integrity check)... done, "),
                 lines[0]);
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^vorix-restore: copying [0-9]+ pages\\.\\.\\. 10% .* 100% done, "))
                     .match(QString::fromUtf8(lines[1]))
                     .hasMatch(),
                 lines[1]);
        QVERIFY2(lines[2].startsWith("vorix-restore: checking the copy (quick check)... done, "), lines[2]);
        QVERIFY(lines[3].startsWith("restored "));
        QCOMPARE(QFileInfo(s.target).permissions() & ~(QFile::ReadUser | QFile::WriteUser), shared);
        QCOMPARE(Listing(s.other.path()), QStringList{QStringLiteral("cddata.mdb")});
        QCOMPARE(ShellReadsFile(s.target, kRows), QByteArray("1 1 2 V1,V1"));
        QCOMPARE(ShellReadsFile(s.target, "PRAGMA journal_mode;"), QByteArray("wal"));
        // The restored shop's trail says so, naming the backup.
        QCOMPARE(ShellReadsFile(s.target, "SELECT Kind||'|'||ItemKey FROM AuditTrail;"),
                 QStringLiteral("恢复|%1").arg(kBackupName).toUtf8());
    }

    // The backup gets the full check once; its copy, a page image of it, the quick one.
    void checksTheBackupFullyOnce() {
        Shops s;
        const EngineTrace trace;
        QList<ShopBackup::Stage> stages;
        QString error;
        QCOMPARE(ShopBackup::Restore(s.backup, s.target, "mqvetra531", &error,
                                     [&](ShopBackup::Stage stage, int, int) { stages << stage; }),
                 ShopBackup::RestoreResult::Restored);
        QCOMPARE(trace.Count(QStringLiteral("PRAGMA integrity_check")), 1);
        QCOMPARE(trace.Count(QStringLiteral("PRAGMA quick_check")), 1);
        using ShopBackup::Stage;
        QCOMPARE(stages, QList<Stage>({Stage::CheckingBackup, Stage::CheckingBackup, Stage::Copying,
                                       Stage::CheckingCopy, Stage::CheckingCopy}));
        QCOMPARE(ShellReadsFile(s.target, kRows), QByteArray("1 1 2 V1,V1"));
    }

    void refusesWhatIsNotASoundBackup_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("damaged") << "damaged";
        QTest::newRow("text") << "text";
        QTest::newRow("empty") << "empty";
        QTest::newRow("plain database") << "plain";
        QTest::newRow("other password") << "other key";
        QTest::newRow("missing") << "missing";
        // What a copy leaves when it is stopped half-way, and shops this program does not know.
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("log beside it") << "log beside";
        QTest::newRow("keyed, no tables") << "no tables";
        QTest::newRow("newer version") << "newer";
        QTest::newRow("version 4 without its ledger") << "no ledger";
    }
    void refusesWhatIsNotASoundBackup() {
        QFETCH(QString, kind);
        Shops s;
        const QString bad = s.other.filePath(QStringLiteral("bad.bak"));
        if (kind == QLatin1String("damaged")) {
            QByteArray bytes = Bytes(s.backup);
            bytes.replace(bytes.size() / 2, 64, QByteArray(64, '\0'));
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        } else if (kind == QLatin1String("text") || kind == QLatin1String("empty")) {
            QFile file(bad);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kind == QLatin1String("text") ? QByteArray("not a database\n").repeated(100)
                                                     : QByteArray());
        } else if (kind == QLatin1String("truncated") || kind == QLatin1String("log beside")) {
            const QByteArray bytes = Bytes(s.backup);
            WriteFile(bad, kind == QLatin1String("truncated") ? bytes.left(bytes.size() / 2) : bytes);
            if (kind == QLatin1String("log beside"))
                WriteFile(bad + QStringLiteral("-wal"), QByteArray(4096, 'x'));
        } else if (kind == QLatin1String("no tables")) {
            QString error;
            const DatabaseHandle db = DatabaseOpen::CreateDatabase(ShopSettings(bad), &error);
            QVERIFY2(db && FileError::Run(db.get(), "PRAGMA journal_mode = WAL", &error), qPrintable(error));
        } else if (kind == QLatin1String("newer") || kind == QLatin1String("no ledger")) {
            QVERIFY(QFile::copy(s.backup, bad));
            QString error;
            const DatabaseHandle db = DatabaseOpen::OpenDatabase(ShopSettings(bad), &error);
            QVERIFY2(db && FileError::Run(db.get(),
                                          kind == QLatin1String("newer") ? "PRAGMA user_version = 99"
                                                                         : "DROP TABLE Ledger",
                                          &error),
                     qPrintable(error));
        } else if (kind != QLatin1String("missing")) {
            const QByteArray schema = "CREATE TABLE Client(x); CREATE TABLE Film(x); CREATE TABLE Record(x); "
                                      "CREATE TABLE Operator(x); CREATE TABLE Setting(x);";
            QVERIFY(ShellReadsFile(bad, schema + " SELECT 1;",
                                   kind == QLatin1String("plain") ? "" : "other") == "1");
        }
        const QByteArray before = Bytes(s.target);
        QByteArray output;
        QCOMPARE(Restore(bad, s.target, &output), 1);
        QVERIFY2(!output.contains("copying"), output.constData()); // refused before the shop was touched
        QCOMPARE(Bytes(s.target), before);
        QVERIFY(Listing(s.other.path()).filter(QStringLiteral(".part")).isEmpty());
    }

    void refusesAShopInUse() {
        Shops s;
        // This process has the shop open, through its pooled connections.
        QCOMPARE(Db::Count(QStringLiteral("Record")), 2);
        QVERIFY(Db::Exec(QStringLiteral("DELETE FROM Record")));
        QCOMPARE(Restore(s.backup, s.shop.DatabasePath()), 3);
        QCOMPARE(Db::Count(QStringLiteral("Record")), 0);
        QVERIFY(Db::Exec(QStringLiteral("INSERT INTO Client (ClientID) VALUES('C2')")));
        QCOMPARE(s.boxes.Texts(), QStringList());
    }
};

VORIX_TEST(BackupTest)
VORIX_TEST(BackupChild)
VORIX_TEST(RestoreTest)
#include "tst_Backup.moc"
