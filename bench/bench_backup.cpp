// Backup and restore of the large shop (137 MB, a million rentals), beside what the engine alone
// needs for the same work.
//   Backup/Copy:    ShopBackup::Copy into dbBak/, as the window's command runs it, checks included
//   Backup/Window:  the main window's 备份 command; max_gap_ms is the longest the window's event
//                   loop stood still meanwhile (the whole backup when it runs on the window's thread)
//   Restore/Tool:   vorix-restore of a backup of the large shop onto a shop no program has open
//   Engine/Backup:  the engine's online backup in one step between two open, keyed connections
//   Engine/QuickCheck, Engine/IntegrityCheck: the engine's checks of the large shop
//   Engine/FileCopy: a plain copy of the file, as cp makes it
#include "BenchShop.h"
#include "LargeShop.h"

#include "app/CMainFrame.h"
#include "app/CRentalApp.h"
#include "app/CommandTable.h"
#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/shop/ShopBackup.h"
#include "toolkit/CDialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {
ConnectionSettings Shop() {
    return DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
}

QString BackupFolder() {
    return QDir::current().filePath(QStringLiteral("dbBak"));
}

void RemoveBackups() {
    QDir folder(BackupFolder());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(name);
}

void BackupCopy(benchmark::State& state) {
    const QString target = BackupFolder() + QStringLiteral("/bench.bak");
    for (auto _ : state) {
        QString error;
        if (!ShopBackup::Copy(Shop(), target, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        state.PauseTiming();
        RemoveBackups();
        state.ResumeTiming();
    }
}

void BackupWindow(benchmark::State& state) {
    // The login is confirmed without a word: the backup asks nothing of the session.
    const CDialog::ModalRunner previous =
        CDialog::SetModalRunner([](CDialog& dialog) { dialog.EndDialog(IDOK); });
    CMainFrame* frame = theApp.OpenMainWindow(Commands::Table());
    CDialog::SetModalRunner(previous);
    frame->show();
    QApplication::processEvents();
    for (auto _ : state) {
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QTimer ticks;
        ticks.setInterval(10);
        QObject::connect(&ticks, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
        ticks.start();
        sinceTick.start();
        frame->OnBackup();
        longest = std::max(longest, sinceTick.elapsed());
        ticks.stop();
        state.counters["max_gap_ms"] = double(longest);
        state.PauseTiming();
        RemoveBackups();
        state.ResumeTiming();
    }
    delete frame;
}

void RestoreTool(benchmark::State& state) {
    const QString backup = BackupFolder() + QStringLiteral("/restore.bak");
    QString error;
    if (!ShopBackup::Copy(Shop(), backup, &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    QTemporaryDir other;
    const QString target = other.filePath(QStringLiteral("cddata.mdb"));
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/vorix-restore");
    bool printed = false;
    for (auto _ : state) {
        QProcess restore;
        restore.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        restore.start(tool, {backup, target});
        if (!restore.waitForFinished(-1) || restore.exitStatus() != QProcess::NormalExit ||
            restore.exitCode() != 0) {
            state.SkipWithError("vorix-restore failed");
            return;
        }
        const QByteArray output = restore.readAllStandardOutput();
        state.PauseTiming();
        if (!printed)
            std::fprintf(stderr, "%s", output.constData());
        printed = true;
        QFile::remove(target);
        state.ResumeTiming();
    }
    RemoveBackups();
}

DatabaseHandle OpenOrExit(const ConnectionSettings& settings, bool create) {
    QString error;
    DatabaseHandle db = create ? DatabaseOpen::CreateDatabase(settings, &error)
                               : DatabaseOpen::OpenDatabase(settings, &error);
    if (!db) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(settings.dataSource), qPrintable(error));
        std::exit(1);
    }
    return db;
}

void EngineBackup(benchmark::State& state) {
    ConnectionSettings copy = Shop();
    copy.dataSource = BackupFolder() + QStringLiteral("/engine.bak");
    for (auto _ : state) {
        const DatabaseHandle from = OpenOrExit(Shop(), false);
        const DatabaseHandle into = OpenOrExit(copy, true);
        sqlite3_backup* backup = sqlite3_backup_init(into.get(), "main", from.get(), "main");
        const int stepped = backup ? sqlite3_backup_step(backup, -1) : SQLITE_ERROR;
        if (sqlite3_backup_finish(backup) != SQLITE_OK || stepped != SQLITE_DONE) {
            state.SkipWithError(sqlite3_errmsg(into.get()));
            return;
        }
        state.PauseTiming();
        RemoveBackups();
        state.ResumeTiming();
    }
}

void EngineCheck(benchmark::State& state, const char* pragma) {
    const DatabaseHandle db = OpenOrExit(Shop(), false);
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        const bool ok = sqlite3_prepare_v2(db.get(), pragma, -1, &stmt, nullptr) == SQLITE_OK &&
                        sqlite3_step(stmt) == SQLITE_ROW &&
                        qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok") == 0;
        sqlite3_finalize(stmt);
        if (!ok) {
            state.SkipWithError(sqlite3_errmsg(db.get()));
            return;
        }
    }
}

void EngineFileCopy(benchmark::State& state) {
    const QString target = BackupFolder() + QStringLiteral("/plain-copy.mdb");
    for (auto _ : state) {
        if (!QFile::copy(QStringLiteral("cddata.mdb"), target)) {
            state.SkipWithError("cannot copy the file");
            return;
        }
        state.PauseTiming();
        RemoveBackups();
        state.ResumeTiming();
    }
}

void RegisterAll() {
    const auto seconds = benchmark::kSecond;
    benchmark::RegisterBenchmark("Backup/Copy", BackupCopy)->Iterations(3)->Unit(seconds);
    benchmark::RegisterBenchmark("Backup/Window", BackupWindow)->Iterations(3)->Unit(seconds);
    benchmark::RegisterBenchmark("Restore/Tool", RestoreTool)->Iterations(2)->Unit(seconds);
    benchmark::RegisterBenchmark("Engine/Backup", EngineBackup)->Iterations(3)->Unit(seconds);
    benchmark::RegisterBenchmark("Engine/QuickCheck", EngineCheck, "PRAGMA quick_check")
        ->Iterations(3)
        ->Unit(seconds);
    benchmark::RegisterBenchmark("Engine/IntegrityCheck", EngineCheck, "PRAGMA integrity_check")
        ->Iterations(2)
        ->Unit(seconds);
    benchmark::RegisterBenchmark("Engine/FileCopy", EngineFileCopy)->Iterations(3)->Unit(seconds);
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    InstallConsolePrompter();
    // A copy, so that nothing a run does to the file can spoil the cached shop.
    BenchShop shop(EnsureLargeShop());
    QDir(shop.Dir()).mkdir(QStringLiteral("dbBak"));
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
