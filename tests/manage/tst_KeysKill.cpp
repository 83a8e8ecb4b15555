#include "Shop.h"
#include "TestRegistry.h"

#include "access/Session.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/shop/ShopDatabase.h"
#include "manage/CClientEditDlg.h"
#include "manage/CFilmEditDlg.h"
#include "manage/CFilmManageDlg.h"
#include "ui_CClientEditDlg.h"
#include "ui_CFilmEditDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <csignal>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
const char* const kActionVariable = "VORIX_KEYS_KILL_ACTION";
const char* const kKillAtVariable = "VORIX_KEYS_KILL_AT";

// The child dies at the start of its n-th statement that writes, as at a power cut.
std::atomic<int> g_killAt{0};
std::atomic<int> g_writes{0};
std::atomic<bool> g_armed{false};

int KillTrace(unsigned, void*, void*, void* sql) {
    const QByteArray text = QByteArray(static_cast<const char*>(sql)).trimmed().toUpper();
    const bool writes = text.startsWith("INSERT") || text.startsWith("UPDATE") || text.startsWith("DELETE") ||
                        text.startsWith("COMMIT") || text.startsWith("END");
    if (g_armed && writes && ++g_writes == g_killAt)
        std::raise(SIGKILL);
    return 0;
}

int OnOpen(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, KillTrace, nullptr);
    return SQLITE_OK;
}

// The rows and their search keys.
QString Snapshot(const QString& file) {
    QString error;
    const DatabaseHandle db = DatabaseOpen::OpenDatabase({file, QByteArray("mqvetra531")}, &error);
    if (!db)
        return u"cannot open: "_s + error;
    QString text;
    for (const char* sql : {"SELECT * FROM Film ORDER BY rowid", "SELECT * FROM Client ORDER BY rowid",
                            "SELECT Film, Kind, Pinyin FROM FilmKey ORDER BY 1, 2, 3",
                            "SELECT Client, Kind, Pinyin FROM ClientKey ORDER BY 1, 2, 3"}) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db.get(), sql, -1, &stmt, nullptr) != SQLITE_OK)
            return u"failed: "_s + QString::fromUtf8(sqlite3_errmsg(db.get()));
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                text += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))) + u'|';
            text += u'\n';
        }
        sqlite3_finalize(stmt);
        text += u"--\n"_s;
    }
    return text;
}

struct Run {
    bool killed = false;
    QString snapshot;
    QByteArray output;
};

Run RunChild(const QString& action, int killAt) {
    QTemporaryDir folder;
    QString error;
    if (!ShopDatabase::Prepare(folder.filePath(u"cddata.mdb"_s), &error))
        return {false, u"cannot prepare: "_s + error, {}};
    QDir(folder.path()).mkdir(u"dbBak"_s);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kActionVariable), action);
    env.insert(QString::fromLatin1(kKillAtVariable), QString::number(killAt));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(folder.path());
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {u"-class"_s, u"KeysKillChild"_s});
    if (!child.waitForFinished(60000))
        child.kill();
    Run run;
    run.killed = child.exitStatus() == QProcess::CrashExit;
    run.output = child.readAll();
    run.snapshot = Snapshot(folder.filePath(u"cddata.mdb"_s));
    return run;
}
} // namespace

// The search keys are written in the transaction of the row they stand for: killed at any write
// statement of a save or a delete, the file holds the row and its keys as before, or both changed.
class KeysKillTest : public QObject {
    Q_OBJECT
private slots:
    void killedAnywhereLeavesRowAndKeysTogether_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("key"); // a key the finished action wrote
        QTest::newRow("new film") << u"new-film"_s << u"cjqh"_s;
        QTest::newRow("renamed film") << u"rename-film"_s << u"bwbj"_s;
        QTest::newRow("new client") << u"new-client"_s << u"zs"_s;
        QTest::newRow("deleted film") << u"delete-film"_s << QString();
    }
    void killedAnywhereLeavesRowAndKeysTogether() {
        QFETCH(QString, action);
        QFETCH(QString, key);
        const Run before = RunChild(action, 0);
        QVERIFY2(before.killed, before.output.constData());
        QList<Run> killed;
        Run finished;
        for (int at = 1; at < 20; ++at) {
            Run run = RunChild(action, at);
            if (!run.killed) {
                finished = run;
                break;
            }
            killed << run;
        }
        QVERIFY2(finished.output.contains("PASS   : KeysKillChild::act()"), finished.output.constData());
        QVERIFY(finished.snapshot != before.snapshot);
        if (!key.isEmpty())
            QVERIFY2(finished.snapshot.contains(u'|' + key + u"|\n"_s), qPrintable(finished.snapshot));
        QVERIFY(killed.size() >= 3); // the row, its keys, the commit
        for (int i = 0; i < killed.size(); ++i)
            QVERIFY2(killed[i].snapshot == before.snapshot,
                     qPrintable(u"killed at write %1:\n%2"_s.arg(i + 1).arg(killed[i].snapshot)));
    }
};
VORIX_TEST_ON_FILE_ONLY(KeysKillTest)

// The child of the test above, in the shop of its working folder.
class KeysKillChild : public QObject {
    Q_OBJECT
private slots:
    void act() {
        const QString action = qEnvironmentVariable(kActionVariable);
        if (action.isEmpty())
            QSKIP("runs as a child of KeysKillTest only");
        g_killAt = qEnvironmentVariableIntValue(kKillAtVariable);
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&OnOpen));
        BoxRecorder boxes;
        const SignedIn admin(u"Admin"_s, u"管理员"_s);
        {
            // The fixture's film, with its keys, as the editor writes them.
            CFilmEditDlg edit;
            QVERIFY(edit.OnInitDialog());
            edit.Form()->filmIdEdit->setText(u"V1"_s);
            edit.Form()->filmNameEdit->setText(u"英雄"_s);
            edit.OnOK();
            QVERIFY(edit.IsEnded());
        }
        if (g_killAt == 0)
            std::raise(SIGKILL); // the shop before the action
        g_armed = true;
        if (action == u"new-film"_s || action == u"rename-film"_s) {
            CFilmEditDlg edit;
            if (action == u"rename-film"_s)
                edit.m_strID = Db::Value(u"SELECT ID AS v FROM Film WHERE FilmID='V1'"_s);
            QVERIFY(edit.OnInitDialog());
            if (action == u"new-film"_s)
                edit.Form()->filmIdEdit->setText(u"V2"_s);
            edit.Form()->filmNameEdit->setText(action == u"new-film"_s ? u"长江七号"_s : u"霸王别姬"_s);
            edit.OnOK();
            QVERIFY(edit.IsEnded());
        } else if (action == u"new-client"_s) {
            CClientEditDlg edit;
            QVERIFY(edit.OnInitDialog());
            edit.Form()->clientEdit->setText(u"C1"_s);
            edit.Form()->remarkEdit->setPlainText(u"张三"_s);
            edit.OnOK();
            QVERIFY(edit.IsEnded());
        } else {
            CFilmManageDlg films;
            films.show();
            QVERIFY(films.OnInitDialog());
            boxes.Answer(IDYES);
            films.OnDelete();
        }
        QCOMPARE(boxes.Texts().filter(u"失败"_s), QStringList());
    }
};
VORIX_TEST(KeysKillChild)

#include "tst_KeysKill.moc"
