// The queries of the management windows on the large shop (50000 films, 5000 clients, a million
// rentals), side by side: the first screen as a window shows it (a connection of its own, the
// query, the first 30 rows), the same on one open connection (the least the engine needs), and
// for some the whole result, which a grid that fetched everything at once would pay.
#include "BenchShop.h"
#include "LargeShop.h"

#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sqlite3.h>
#include <string>

namespace {
constexpr int kScreenRows = 30;

#define FILM_COLUMNS                                                                                                  \
    "SELECT ID, FilmID AS 编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型,Class1 AS 分类1, Class2 " \
    "AS "                                                                                                             \
    "分类2, StgDate AS 入库日期, Degree AS 租次,Remark AS 备注 "
#define CLIENT_COLUMNS                                                                                              \
    "SELECT ID, ClientID AS 编号, PhoneNum AS 电话, CreateDate AS 开户日期, Foregift AS 押金,Balance AS " \
    "余款, "                                                                                                      \
    "Remark AS 备注 FROM Client"
#define RECORD_COLUMNS                                                                                                    \
    "SELECT r.ID, r.ClientID AS 客户编号, r.FilmID AS 影片编号, f.FilmName AS 影片名字,r.Type AS 类型,"     \
    "r.Foregift AS 押金,r.BorrowDate AS 租借日期, r.ReturnDate AS 还回日期,r.OptUser AS 操作员 FROM Record " \
    "r,Film f WHERE r.FilmID=f.FilmID"

struct GridQuery {
    const char* name;
    const char* sql;
    bool wholeResult; // also measure reading every row
};

// The statements as the windows compose them; searches carry their text with an ESCAPE clause.
const GridQuery kQueries[] = {
    {"Films/All", FILM_COLUMNS "FROM Film ORDER BY ID DESC", true},
    {"Films/GenreRegion", FILM_COLUMNS "FROM Film WHERE Class1='动作片' AND Class2='港台' ORDER BY ID DESC",
     true},
    {"Films/Code", FILM_COLUMNS "FROM Film WHERE FilmID='F012345' ORDER BY ID DESC", false},
    {"Films/NameLike", FILM_COLUMNS "FROM Film WHERE FilmName LIKE '%风云%' ESCAPE '\\' ORDER BY ID DESC",
     true},
    {"Films/NameLikeMiss",
     FILM_COLUMNS "FROM Film WHERE FilmName LIKE '%没有这部片%' ESCAPE '\\' ORDER BY ID DESC", false},
    {"Films/ActorLike", FILM_COLUMNS "FROM Film WHERE Playactor LIKE '%德华%' ESCAPE '\\' ORDER BY ID DESC",
     false},
    {"Clients/All", CLIENT_COLUMNS " ORDER BY ID DESC", true},
    {"Clients/Code", CLIENT_COLUMNS " WHERE ClientID='100123' ORDER BY ID DESC", false},
    {"Records/All", RECORD_COLUMNS " ORDER BY r.ID DESC", false},
    {"Records/Monthly", RECORD_COLUMNS " AND r.Type='月租' ORDER BY r.ID DESC", false},
    {"Records/Daily", RECORD_COLUMNS " AND r.Type='零租' ORDER BY r.ID DESC", false},
    {"Records/Out", RECORD_COLUMNS " AND r.ReturnDate='' ORDER BY r.ID DESC", true},
    {"Records/Client", RECORD_COLUMNS " AND r.ClientID='100123' ORDER BY r.ID DESC", true},
    {"Records/Film", RECORD_COLUMNS " AND r.FilmID='F000519' ORDER BY r.ID DESC", true},
    {"Records/FilmNameLike", RECORD_COLUMNS " AND f.FilmName LIKE '%风云%' ESCAPE '\\' ORDER BY r.ID DESC",
     false},
    {"Records/FilmNameLikeMiss",
     RECORD_COLUMNS " AND f.FilmName LIKE '%没有这部片%' ESCAPE '\\' ORDER BY r.ID DESC", false},
    {"Records/DateLike", RECORD_COLUMNS " AND r.BorrowDate LIKE '%2021-06%' ESCAPE '\\' ORDER BY r.ID DESC",
     false},
};

DatabaseHandle Connect() {
    QString error;
    DatabaseHandle db = DatabaseOpen::OpenDatabase(
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
    if (!db) {
        std::fprintf(stderr, "cannot open the large shop: %s\n", qPrintable(error));
        std::exit(1);
    }
    return db;
}

// Runs the query and reads up to limit rows, every column as text as a grid would; returns rows.
long long ReadRows(sqlite3* db, const char* sql, long long limit) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n  %s\n", sql, sqlite3_errmsg(db));
        std::exit(1);
    }
    long long rows = 0;
    const int columns = sqlite3_column_count(stmt);
    while (rows < limit && sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c)
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

void WindowFirstScreen(benchmark::State& state, const GridQuery& query) {
    long long rows = 0;
    for (auto _ : state) {
        const DatabaseHandle db = Connect();
        rows = ReadRows(db.get(), query.sql, kScreenRows);
    }
    state.counters["rows"] = double(rows);
}

// On one connection kept open: the least the engine needs for the same rows.
void OnOpenConnection(benchmark::State& state, const GridQuery& query, long long limit) {
    const DatabaseHandle db = Connect();
    long long rows = 0;
    for (auto _ : state)
        rows = ReadRows(db.get(), query.sql, limit);
    state.counters["rows"] = double(rows);
}

void RegisterQueries() {
    for (const GridQuery& query : kQueries) {
        const std::string name = query.name;
        benchmark::RegisterBenchmark((name + "/Window").c_str(), WindowFirstScreen, query)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "/Engine").c_str(), OnOpenConnection, query, kScreenRows)
            ->Unit(benchmark::kMillisecond);
        if (query.wholeResult)
            benchmark::RegisterBenchmark((name + "/EngineAllRows").c_str(), OnOpenConnection, query,
                                         std::numeric_limits<long long>::max())
                ->Unit(benchmark::kMillisecond);
    }
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InstallConsolePrompter();
    // A copy, so that nothing a run does to the file can spoil the cached shop.
    BenchShop shop(EnsureLargeShop());
    RegisterQueries();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
