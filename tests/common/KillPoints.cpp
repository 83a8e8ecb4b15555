#include "KillPoints.h"

#include "Shop.h"

#include "data/engine/file/DatabaseOpen.h"
#include "data/shop/ShopDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {
const char* const kActionVariable = "VORIX_KILL_ACTION";
const char* const kKillAtVariable = "VORIX_KILL_AT";

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

int KillOnOpen(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, KillTrace, nullptr);
    return SQLITE_OK;
}
} // namespace

QList<QByteArray> KillPoints::WholeTables(const QList<QByteArray>& tables) {
    QList<QByteArray> selects;
    for (const QByteArray& table : tables)
        selects << "SELECT * FROM " + table + " ORDER BY rowid";
    return selects;
}

QString KillPoints::Snapshot(const QString& file, const QList<QByteArray>& selects) {
    QString error;
    const DatabaseHandle db = DatabaseOpen::OpenDatabase({file, QByteArray("mqvetra531")}, &error);
    if (!db)
        return u"cannot open: "_s + error;
    QString text;
    // And the summaries the triggers keep, which must never stray from the rows, killed or not.
    for (const QByteArray& sql : selects + QList<QByteArray>{Db::kSummariesAstray}) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db.get(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
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

KillPoints::Run KillPoints::RunChild(const QString& childClass, const QString& action, int killAt,
                                     const QList<QByteArray>& selects) {
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
    child.start(QCoreApplication::applicationFilePath(), {u"-class"_s, childClass});
    if (!child.waitForFinished(60000))
        child.kill();
    Run run;
    run.killed = child.exitStatus() == QProcess::CrashExit;
    run.output = child.readAll();
    if (!run.killed && child.exitCode() != 0)
        run.output.prepend("the child failed:\n");
    run.snapshot = Snapshot(folder.filePath(u"cddata.mdb"_s), selects);
    return run;
}

QString KillPoints::ChildAction() {
    const QString action = qEnvironmentVariable(kActionVariable);
    if (!action.isEmpty()) {
        g_killAt = qEnvironmentVariableIntValue(kKillAtVariable);
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&KillOnOpen));
    }
    return action;
}

int KillPoints::KillAt() {
    return g_killAt;
}

void KillPoints::Arm() {
    g_armed = true;
}
