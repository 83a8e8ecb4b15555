// 操作日志 on a trail of a million rows over three years: the first screen of the window as it
// opens (the last month), narrowed by a film's code, by a kind and by an operator, through the data
// control the window uses (a pooled connection, the query, its first rows), beside the least the
// engine needs on one open connection.
#include "BenchShop.h"

#include "data/AuditTrail.h"
#include "data/CAdodc.h"
#include "data/engine/file/DatabaseOpen.h"

#include <QCoreApplication>
#include <QDate>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {
constexpr int kRows = 1000000;
const QDate kToday(2026, 12, 8);

DatabaseHandle Connect() {
    QString error;
    DatabaseHandle db = DatabaseOpen::OpenDatabase(
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
    if (!db) {
        std::fprintf(stderr, "cannot open the shop: %s\n", qPrintable(error));
        std::exit(1);
    }
    return db;
}

// A million rows in the clock's order over the three years before kToday: 50000 films' codes,
// five operators, every kind in turn.
void FillTrail() {
    const DatabaseHandle db = Connect();
    QString kinds = QStringLiteral("CASE n % 20");
    const QStringList all = AuditTrail::Kinds();
    for (int i = 0; i < all.size(); ++i)
        kinds += QStringLiteral(" WHEN %1 THEN '%2'").arg(i).arg(all.at(i));
    kinds += QStringLiteral(" END");
    const QString sql =
        QStringLiteral("BEGIN; WITH RECURSIVE c(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM c WHERE n < %1) "
                       "INSERT INTO AuditTrail (At, OptUser, Desk, Kind, ItemKey, Detail) SELECT "
                       "datetime(julianday('%2') - 1096 + n * 1096.0 / %1), 'op' || (n % 5), '前台', %3, "
                       "printf('F%06d', (n * 7919) % 50000), '片名: 旧 → 新' FROM c; COMMIT;")
            .arg(kRows - 1)
            .arg(kToday.toString(QStringLiteral("yyyy-MM-dd")))
            .arg(kinds);
    char* message = nullptr;
    if (sqlite3_exec(db.get(), sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "cannot fill the trail: %s\n", message ? message : "");
        std::exit(1);
    }
}

struct Filter {
    const char* name;
    int days;
    const char* optUser;
    const char* kind;
    const char* key;
    QString Sql() const {
        return AuditTrail::Rows(kToday.addDays(-days), kToday, QString::fromUtf8(optUser),
                                QString::fromUtf8(kind), QString::fromUtf8(key));
    }
};

const Filter kFilters[] = {
    {"LastMonth", 30, "", "", ""},         {"ThreeYears", 1096, "", "", ""},
    {"FilmCode", 1096, "", "", "F012345"}, {"Kind", 1096, "", "密码修改", ""},
    {"Operator", 30, "op3", "", ""},       {"Miss", 1096, "nobody", "", ""},
};

void Window(benchmark::State& state, const Filter& filter) {
    const QString sql = filter.Sql();
    int rows = 0;
    for (auto _ : state) {
        CAdodc grid;
        grid.SetRecordSource(sql);
        grid.Refresh();
        rows = grid.rowCount();
    }
    state.counters["rows"] = rows;
}

void OnOpenConnection(benchmark::State& state, const Filter& filter) {
    const DatabaseHandle db = Connect();
    const QByteArray sql = filter.Sql().toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db.get(), sql.constData(), -1, &stmt, nullptr);
        rows = 0;
        while (rows < CAdodc::kFetchRows && sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    state.counters["rows"] = rows;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InstallConsolePrompter();
    BenchShop shop;
    FillTrail();
    for (const Filter& filter : kFilters) {
        const std::string name = filter.name;
        benchmark::RegisterBenchmark((name + "/Window").c_str(), Window, filter)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/Engine").c_str(), OnOpenConnection, filter)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
