// The reports of 营业报表 on the large shop (a million rentals, a ledger of a million rows over 2022 to
// 2024; VORIX_LARGE_SHOP names another): the time to the first screen of each report over a month
// and over the three years, beside the engine alone stepping the same statement to its first screen
// on one open connection. With VORIX_BENCH_SERVER, once more on the server.
//   Window:  the report window shows the report for the period: its statement run, its grid's first
//            rows and the chart drawn from them (the takings read all their rows for the chart)
//   Refresh: the data control refreshed with the report's statement, its connection open
//   Engine:  prepare and step the first screen's rows on an open connection, every column as text
#include "BenchShop.h"
#include "LargeShop.h"

#include "access/Session.h"
#include "data/CAdodc.h"
#include "data/engine/file/DatabaseOpen.h"
#include "manage/CReportsDlg.h"
#include "manage/ReportPages.h"
#include "toolkit/CChart.h"

#include <QApplication>
#include <QDateEdit>
#include <QSpinBox>
#include <QTabBar>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <string>

namespace {
constexpr int kScreenRows = 40;

struct Period {
    const char* name;
    QDate from;
    QDate to;
};
const Period kPeriods[] = {{"Month", QDate(2024, 11, 1), QDate(2024, 11, 30)},
                           {"ThreeYears", QDate(2022, 1, 1), QDate(2024, 12, 31)}};

ReportPages::Choice ChoiceOf(const Period& period) {
    ReportPages::Choice choice;
    choice.from = period.from;
    choice.to = period.to;
    choice.step = Reports::Step::Day;
    choice.days = 365;
    return choice;
}

void WindowFirstScreen(benchmark::State& state, ReportPages::Page page, Period period) {
    const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
    CReportsDlg window;
    window.resize(1000, 700);
    window.show();
    window.OnInitDialog();
    window.FromEdit()->setDate(period.from);
    window.ToEdit()->setDate(period.to);
    window.DaysSpin()->setValue(365);
    window.Tabs()->setCurrentIndex(page);
    for (auto _ : state) {
        window.OnRefresh();
        window.repaint();
    }
    state.counters["rows"] = window.DataControl()->rowCount();
    state.counters["bars"] = window.ChartView()->Data().bars.size();
}

void RefreshFirstScreen(benchmark::State& state, ReportPages::Page page, Period period) {
    CAdodc adodc;
    adodc.SetRecordSource(ReportPages::Statement(page, ChoiceOf(period)));
    adodc.Refresh(); // opens the connection
    for (auto _ : state)
        adodc.Refresh();
    state.counters["rows"] = adodc.rowCount();
}

void EngineFirstScreen(benchmark::State& state, ReportPages::Page page, Period period) {
    QString error;
    const DatabaseHandle db = DatabaseOpen::OpenDatabase(
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
    if (!db) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    const QByteArray sql = ReportPages::Statement(page, ChoiceOf(period)).toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db.get(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db.get()));
            return;
        }
        const int columns = sqlite3_column_count(stmt);
        rows = 0;
        while (rows < kScreenRows && sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    state.counters["rows"] = rows;
}

void RegisterAll() {
    for (int page = 0; page < ReportPages::kPages; ++page) {
        const auto report = ReportPages::Page(page);
        const char* const names[] = {"Takings", "Titles", "IdleStock", "Customers", "Dormant", "Staff"};
        for (const Period& period : kPeriods) {
            const std::string name = std::string(names[page]) + "/" + period.name;
            benchmark::RegisterBenchmark((name + "/Window").c_str(), WindowFirstScreen, report, period)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((name + "/Refresh").c_str(), RefreshFirstScreen, report, period)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((name + "/Engine").c_str(), EngineFirstScreen, report, period)
                ->Unit(benchmark::kMillisecond);
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    return RunOnLargeShop(argc, argv, RegisterAll);
}
