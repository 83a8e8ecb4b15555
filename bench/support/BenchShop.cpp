#include "BenchShop.h"

#include "LargeShop.h"

#include "base/Prompter.h"
#include "data/CAdoDb.h"
#include "data/engine/ShopConnection.h"
#include "data/engine/file/DatabaseOpen.h"
#include "data/shop/ServerDatabase.h"
#include "data/shop/ShopDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

BenchShop::BenchShop() {
    QString error;
    if (!ShopDatabase::Prepare(DatabasePath(), &error)) {
        std::fprintf(stderr, "cannot prepare the database: %s\n", qPrintable(error));
        std::exit(1);
    }
    QDir::setCurrent(m_dir.path());
}

BenchShop::BenchShop(const QString& sourceFile) {
    QString error;
    if (!CopyShopFile(sourceFile, DatabasePath(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::exit(1);
    }
    QDir::setCurrent(m_dir.path());
}

QString BenchShop::DatabasePath() const {
    return m_dir.filePath(QStringLiteral("cddata.mdb"));
}

QString BenchShop::PlainCopy() {
    const QString plain = m_dir.filePath(QStringLiteral("plain.db"));
    QFile(plain).open(QIODevice::WriteOnly); // the shop's connections never create files
    QString error;
    const DatabaseHandle db = DatabaseOpen::OpenDatabase(
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
    const QByteArray sql = "ATTACH DATABASE '" + plain.toUtf8() +
                           "' AS plain KEY ''; SELECT sqlcipher_export('plain'); DETACH DATABASE plain;";
    if (!db || sqlite3_exec(db.get(), sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot make a plain copy: %s\n",
                     db ? sqlite3_errmsg(db.get()) : qPrintable(error));
        std::exit(1);
    }
    return plain;
}

namespace {
class ConsolePrompter : public IPrompter {
public:
    MsgResult Show(const MessageRequest& request) override {
        // Questions are answered with their default (Yes); anything else is worth seeing.
        if (request.icon != MsgIcon::Question)
            std::fprintf(stderr, "[box] %s: %s\n", qPrintable(request.caption), qPrintable(request.text));
        return request.defaultButton;
    }
};
} // namespace

void InstallConsolePrompter() {
    Prompter::Set(std::make_unique<ConsolePrompter>());
}

int RunOnLargeShop(int argc, char** argv, const std::function<void()>& registerMore) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallConsolePrompter();
    // A copy, so that nothing a run does to the file can spoil the cached shop.
    BenchShop shop(EnsureLargeShop());
    const QString server = MoveOntoBenchServer(shop);
    if (registerMore)
        registerMore();
    benchmark::Initialize(&argc, argv);
    RunOnFileAndServer(server);
    benchmark::Shutdown();
    return 0;
}

QString MoveOntoBenchServer(const BenchShop& shop) {
    const QString server = qEnvironmentVariable("VORIX_BENCH_SERVER");
    if (server.isEmpty())
        return {};
    ServerDatabase::Counts counts;
    QString error;
    if (!ServerDatabase::CopyFromFile(shop.DatabasePath(), server, &counts, &error)) {
        std::fprintf(stderr, "cannot move the shop onto the server: %s\n", qPrintable(error));
        std::exit(1);
    }
    return server;
}

void RunOnFileAndServer(const QString& server, const std::function<void()>& beforeServer) {
    std::printf("== the shop file ==\n");
    std::fflush(stdout);
    benchmark::RunSpecifiedBenchmarks();
    if (server.isEmpty())
        return;
    if (beforeServer)
        beforeServer();
    std::printf("== the same shop on the PostgreSQL server ==\n");
    std::fflush(stdout);
    ShopConnection::Use(ShopConnection::ForServer(server));
    benchmark::ConsoleReporter reporter(
        benchmark::ConsoleReporter::OO_None); // the default reports one run only
    const std::string filter = benchmark::GetBenchmarkFilter();
    benchmark::RunSpecifiedBenchmarks(
        &reporter, filter.empty() || filter == "." || filter == "all" ? "-Engine" : filter);
    ShopConnection::Use({});
}
