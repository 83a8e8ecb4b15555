// The cost of one repository operation (connect, one SELECT, close), side by side: with the
// key derived once per process, with the passphrase derived at every open, and on a plain file.
#include "BenchShop.h"

#include "data/CAdoDb.h"
#include "data/COperatorInfo.h"
#include "data/engine/file/DatabaseOpen.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {
BenchShop* g_shop = nullptr;
QString g_plain;

void OneSelect(benchmark::State& state, DatabaseHandle (*open)(const ConnectionSettings&, QString*),
               const ConnectionSettings& settings) {
    for (auto _ : state) {
        QString error;
        const DatabaseHandle db = open(settings, &error);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db.get(), "SELECT * FROM Operator WHERE OptName='Admin'", -1, &stmt, nullptr);
        benchmark::DoNotOptimize(sqlite3_step(stmt));
        sqlite3_finalize(stmt);
    }
}

void CachedKey(benchmark::State& state) {
    OneSelect(state, &DatabaseOpen::OpenDatabase,
              DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)));
}
void Passphrase(benchmark::State& state) {
    OneSelect(state, &DatabaseOpen::OpenDatabaseWithPassphrase,
              DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)));
}
void PlainFile(benchmark::State& state) {
    OneSelect(state, &DatabaseOpen::OpenDatabase, ConnectionSettings{g_plain, {}});
}
// The same through the repository, as every dialog reaches the database.
void RepositoryLookup(benchmark::State& state) {
    for (auto _ : state) {
        COperatorInfo op;
        benchmark::DoNotOptimize(op.ExistsByOptName(QStringLiteral("Admin")));
    }
}
} // namespace

BENCHMARK(CachedKey)->Unit(benchmark::kMillisecond);
BENCHMARK(Passphrase)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainFile)->Unit(benchmark::kMillisecond);
BENCHMARK(RepositoryLookup)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InstallConsolePrompter();
    BenchShop shop;
    g_shop = &shop;
    g_plain = shop.PlainCopy();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
