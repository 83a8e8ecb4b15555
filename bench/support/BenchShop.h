#pragma once
#include <functional>
// Benchmark fixtures: a prepared shop database in a temporary folder, made the current directory.
#include <QString>
#include <QTemporaryDir>

class BenchShop {
public:
    BenchShop();
    // A copy of an existing shop file (for example the large shop) as the database.
    explicit BenchShop(const QString& sourceFile);
    QString Dir() const { return m_dir.path(); }
    QString DatabasePath() const;
    // An unencrypted copy of the database, for comparison with the encrypted file.
    QString PlainCopy();

private:
    QTemporaryDir m_dir;
};

// Answers every message box by printing it, so that a benchmark never waits for a user.
void InstallConsolePrompter();

// The main of a benchmark program on a copy of the large shop: offscreen, boxes printed, the
// benchmarks registered by register (if any) run, then the copy removed.
int RunOnLargeShop(int argc, char** argv, const std::function<void()>& registerMore = {});

// With VORIX_BENCH_SERVER (the libpq connection text of an empty database), the shop is moved onto
// that server; returns the text, or empty without one.
QString MoveOntoBenchServer(const BenchShop& shop);
// Runs the registered benchmarks on the file and then, given a server, again on the server (after
// beforeServer): all but those of the engine alone (named ...Engine), which go to the file only.
void RunOnFileAndServer(const QString& server, const std::function<void()>& beforeServer = {});
