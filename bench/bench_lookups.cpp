// The desk's lookups while a clerk types, on the large shop (VORIX_LARGE_SHOP names another): what a
// client number, a film number in the shop or out, and the rental of a film out stand for, each
// through the pool as the forms run them (goal: 5 ms each); and the pickers' searches, to the first
// screen of their grid through a data control whose connection is open (goal: 50 ms); and the first
// screen of 未还影片 (goal: 50 ms).
#include "BenchShop.h"
#include "LargeShop.h"

#include "data/CAdoDb.h"
#include "data/CAdodc.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/DeskLookup.h"
#include "data/DeskPick.h"
#include "data/engine/file/DatabaseOpen.h"
#include "desk/DeskLines.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <vector>

namespace {
// Codes spread over the table: every row of this query, on a connection of its own.
std::vector<QString> Codes(const char* sql) {
    QString error;
    const DatabaseHandle db = DatabaseOpen::OpenDatabase(
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
    sqlite3_stmt* stmt = nullptr;
    std::vector<QString> codes;
    if (!db || sqlite3_prepare_v2(db.get(), sql, -1, &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot read codes: %s\n", qPrintable(error));
        std::exit(1);
    }
    while (sqlite3_step(stmt) == SQLITE_ROW)
        codes.push_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))));
    sqlite3_finalize(stmt);
    return codes;
}

template <typename Lookup>
void Run(benchmark::State& state, const std::vector<QString>& codes, Lookup lookup) {
    std::size_t i = 0;
    for (auto _ : state) {
        DeskLines::Line line = lookup(codes[i++ % codes.size()]);
        benchmark::DoNotOptimize(line);
    }
}

void ClientLine(benchmark::State& state) {
    static const auto codes = Codes("SELECT ClientID FROM Client WHERE ID % 25 = 0");
    Run(state, codes, [](const QString& code) { return DeskLines::Client(code); });
}
void FilmInLine(benchmark::State& state) {
    static const auto codes =
        Codes("SELECT FilmID FROM Film WHERE ID % 250 = 0 AND NOT EXISTS (SELECT 1 FROM "
              "Record WHERE Record.FilmID = Film.FilmID AND ReturnDate = '')");
    Run(state, codes, &DeskLines::Film);
}
void FilmOutLine(benchmark::State& state) {
    static const auto codes = Codes("SELECT FilmID FROM Record WHERE ReturnDate = '' AND ID % 50 = 0");
    Run(state, codes, &DeskLines::Film);
}
void RentalLine(benchmark::State& state) {
    static const auto codes = Codes("SELECT FilmID FROM Record WHERE ReturnDate = '' AND ID % 50 = 0");
    Run(state, codes, &DeskLines::Rental);
}
void UnknownFilmLine(benchmark::State& state) {
    Run(state, {QStringLiteral("NO-SUCH-FILM")}, &DeskLines::Film);
}
// The picker's data control refreshed on the statement for a search, as each pause in typing does.
void Pick(benchmark::State& state, const QString& sql) {
    CAdodc adodc;
    adodc.SetRecordSource(sql);
    adodc.Refresh(); // opens the connection
    for (auto _ : state) {
        adodc.Refresh();
        benchmark::DoNotOptimize(adodc.rowCount());
    }
    state.counters["rows"] = adodc.rowCount();
}
} // namespace

// The pickers by pinyin: a prefix of a title's initials (goal: 5 ms to the first screen), a text
// inside the keys (goal: 30 ms), a miss, a code, and a client's remark initials and phone digits.
BENCHMARK_CAPTURE(Pick, FilmsInitials, DeskPick::Films(QStringLiteral("wjd"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsInitialsBroad, DeskPick::Films(QStringLiteral("fy"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsFullPinyin, DeskPick::Films(QStringLiteral("chongqing"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsInsideKey, DeskPick::Films(QStringLiteral("mkz"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsPinyinMiss, DeskPick::Films(QStringLiteral("qqqqq"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsPinyinCode, DeskPick::Films(QStringLiteral("F01234"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, ClientsInitials, DeskPick::Clients(QStringLiteral("lgk")))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmWindowQuickFind, FilmGrid::QuickFind(QStringLiteral("wjd")))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, ClientWindowQuickFind, ClientGrid::QuickFind(QStringLiteral("1380")))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, ClientsAll, DeskPick::Clients(QString()))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, ClientsPhone, DeskPick::Clients(QStringLiteral("1380")))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, ClientsMiss, DeskPick::Clients(QStringLiteral("NO-SUCH")))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsAll, DeskPick::Films(QString(), false))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsAllIn, DeskPick::Films(QString(), true))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsTitle, DeskPick::Films(QStringLiteral("风云"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsTitleIn, DeskPick::Films(QStringLiteral("风云"), true))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsMiss, DeskPick::Films(QStringLiteral("NO-SUCH"), false))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, FilmsMissIn, DeskPick::Films(QStringLiteral("NO-SUCH"), true))
    ->Unit(benchmark::kMillisecond);
// 未还影片's first screen: every rental out, monthly only, and those out longer than 30 days.
BENCHMARK_CAPTURE(Pick, OutListAll, OutList::Rentals(QString(), 0, QDate(2026, 12, 7)))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, OutListMonthly, OutList::Rentals(QStringLiteral("月租"), 0, QDate(2026, 12, 7)))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Pick, OutListLonger30, OutList::Rentals(QString(), 30, QDate(2026, 12, 7)))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ClientLine)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(FilmInLine)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(FilmOutLine)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(RentalLine)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(UnknownFilmLine)->Unit(benchmark::kMillisecond)->Iterations(200);

int main(int argc, char** argv) {
    return RunOnLargeShop(argc, argv);
}
