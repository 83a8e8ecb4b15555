// Browsing the large shop (50000 films, a million rentals; VORIX_LARGE_SHOP names another) through the data
// control and its grid: the time to the first screen (a refresh steps 64 rows; a screen shows 40) of the film
// window's queries and of every filter and search of the rental window, beside the engine alone stepping the
// same statement to its first screen on one open connection, and what the model holds after the user has
// scrolled through 10000 rows.
//   Model:   a new data control (its own connection, opened at the first refresh), one refresh
//   Refresh: the same data control refreshed again, its connection open
//   Grid:    the grid of a shown window refreshed again and painted, widths applied as the window does
//   Window:  the rental window shown, a filter chosen or a search run in it, its grid painted
//   Engine:  prepare and step the first screen's rows on an open connection, every column as text
//   Described: the same for the statement a film-name or date search stands for
//   Upgrade: the first open of a large shop written before the rental window's indexes
//   Sorted:  the film and client windows' whole lists sorted by a click on each heading, both ways
//            (as Refresh: the statement sorted as the grid runs it)
#include "BenchShop.h"
#include "LargeShop.h"

#include "access/Session.h"
#include "data/CAdoDb.h"
#include "data/CAdodc.h"
#include "data/CClientInfo.h"
#include "data/CFilmInfo.h"
#include "data/CRentInfo.h"
#include "data/GridOrder.h"
#include "data/engine/file/DatabaseOpen.h"
#include "manage/CRecordManageDlg.h"
#include "toolkit/CDataGrid.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sqlite3.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kScreenRows = 40;
constexpr int kScrolledRows = 10000;

#define FILM_COLUMNS                                                                                                  \
    "SELECT ID, FilmID AS 编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型,Class1 AS 分类1, Class2 " \
    "AS 分类2, StgDate AS 入库日期, Degree AS 租次,Remark AS 备注 "

const std::vector<float> kFilmWidths{0, 40, 80, 40, 20, 30, 30, 45, 20, 200};

struct BrowseQuery {
    std::string name;
    std::string sql;
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

// The code of a film in the middle of the catalogue, so that the code search finds one row.
std::string ExistingFilmCode() {
    const DatabaseHandle db = Connect();
    sqlite3_stmt* stmt = nullptr;
    std::string code;
    if (sqlite3_prepare_v2(db.get(), "SELECT FilmID FROM Film WHERE ID=25000", -1, &stmt, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        code = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    if (code.empty()) {
        std::fprintf(stderr, "the large shop has no film 25000\n");
        std::exit(1);
    }
    return code;
}

// The film window's statements as it composes them; searches carry their text with an ESCAPE clause.
std::vector<BrowseQuery> FilmQueries() {
    const std::string s = FILM_COLUMNS;
    const std::string order = " ORDER BY ID DESC";
    return {
        {"Films/All", s + "FROM Film" + order},
        {"Films/Genre", s + "FROM Film  WHERE Class1='动作片'" + order},
        {"Films/Region", s + "FROM Film WHERE Class2='大陆'" + order},
        {"Films/GenreRegion", s + "FROM Film WHERE Class1='动作片' AND Class2='大陆'" + order},
        {"Films/Code", s + "FROM Film WHERE FilmID='" + ExistingFilmCode() + "'" + order},
        {"Films/CodeMiss", s + "FROM Film WHERE FilmID='X999999'" + order},
        {"Films/Title", s + "FROM Film WHERE FilmName LIKE '%风云%' ESCAPE '\\'" + order},
        {"Films/TitleMiss", s + "FROM Film WHERE FilmName LIKE '%没有这部片%' ESCAPE '\\'" + order},
        {"Films/Actor", s + "FROM Film WHERE Playactor LIKE '%德华%' ESCAPE '\\'" + order},
        {"Films/ActorMiss", s + "FROM Film WHERE Playactor LIKE '%无名氏%' ESCAPE '\\'" + order},
    };
}

const char* const kRecordsAll =
    "SELECT r.ID, r.ClientID AS 客户编号, r.FilmID AS 影片编号, f.FilmName AS 影片名字,r.Type AS 类型,"
    "r.Foregift AS 押金,r.BorrowDate AS 租借日期, r.ReturnDate AS 还回日期,r.OptUser AS 操作员 FROM Record "
    "r,Film f WHERE r.FilmID=f.FilmID ORDER BY r.ID DESC";

// What the user does in the rental window: a filter (its index) or a search (its kind and text).
struct RecordAction {
    std::string name;
    int filter; // -1: a search
    int kind;   // 客户编号, 影片编号, 影片名字, 租借日期
    std::string text;
};

// A title that only a few rentals have, with the number of them.
std::string RareTitle() {
    const DatabaseHandle db = Connect();
    sqlite3_stmt* stmt = nullptr;
    std::string title;
    if (sqlite3_prepare_v2(db.get(),
                           "SELECT FilmName FROM Film GROUP BY FilmName HAVING SUM(Degree) BETWEEN 3 AND 5 "
                           "ORDER BY FilmName LIMIT 1",
                           -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        title = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    return title;
}

// Codes that the large shop has and has not, names and dates that match and that match nothing (its
// rentals run from 2018 to 2024): read newest first, a search that matches nothing reads every rental.
// "天" is in the titles of a tenth of the rentals, "风云" of 2.5%; "2019" is one year of seven.
const std::vector<RecordAction>& RecordActions() {
    static const std::vector<RecordAction> actions = {
        {"Rentals/All", 0, 0, ""},
        {"Rentals/Monthly", 1, 0, ""},
        {"Rentals/Daily", 2, 0, ""},
        {"Rentals/Out", 3, 0, ""},
        {"Rentals/Client", -1, 0, "100123"},
        {"Rentals/ClientMiss", -1, 0, "X99999"},
        {"Rentals/Film", -1, 1, "F000519"},
        {"Rentals/FilmMiss", -1, 1, "X999999"},
        {"Rentals/FilmName", -1, 2, "风云"},
        {"Rentals/FilmNameBroad", -1, 2, "天"},
        {"Rentals/FilmNameEmpty", -1, 2, ""},
        {"Rentals/FilmNameRare", -1, 2, RareTitle()},
        {"Rentals/FilmNameMiss", -1, 2, "没有这部片"},
        {"Rentals/Date", -1, 3, "2021-06"},
        {"Rentals/DateYear", -1, 3, "2019"},
        {"Rentals/DateEmpty", -1, 3, ""},
        {"Rentals/DateMiss", -1, 3, "2005-11"},
    };
    return actions;
}

// The rental window, open and shown, as the shop sees it.
class RecordWindow {
public:
    RecordWindow() {
        m_dlg.resize(1000, 700);
        m_dlg.OnInitDialog();
        m_dlg.show();
        QCoreApplication::processEvents();
    }
    void Act(const RecordAction& action) {
        if (action.filter >= 0) {
            auto* combo = m_dlg.findChild<QComboBox*>(QStringLiteral("filterCombo"));
            const QSignalBlocker quiet(combo);
            combo->setCurrentIndex(action.filter);
            m_dlg.OnSelchangeFilter();
        } else {
            const char* const radios[] = {"clientRadio", "filmIdRadio", "filmNameRadio", "dateRadio"};
            m_dlg.findChild<QRadioButton*>(QString::fromLatin1(radios[action.kind]))->setChecked(true);
            m_dlg.findChild<QLineEdit*>(QStringLiteral("searchEdit"))
                ->setText(QString::fromStdString(action.text));
            m_dlg.OnSearch();
        }
        m_dlg.findChild<CDataGrid*>()->repaint();
    }
    CRecordManageDlg& Dialog() { return m_dlg; }

private:
    SignedIn m_admin{QStringLiteral("Admin"), QStringLiteral("管理员")};
    CRecordManageDlg m_dlg;
};

// The statement the window runs for an action, exactly as it composes it.
std::string StatementOf(const RecordAction& action) {
    static std::map<std::string, std::string> statements;
    auto it = statements.find(action.name);
    if (it == statements.end()) {
        RecordWindow window;
        window.Act(action);
        it = statements.emplace(action.name, window.Dialog().m_strQuery.toStdString()).first;
    }
    return it->second;
}

void WindowFirstScreen(benchmark::State& state, const RecordAction& action) {
    RecordWindow window;
    for (auto _ : state)
        window.Act(action);
    state.counters["rows"] = window.Dialog().DataControl()->rowCount();
}

void ModelFirstScreen(benchmark::State& state, const std::string& sql) {
    const QString source = QString::fromStdString(sql);
    int rows = 0;
    for (auto _ : state) {
        CAdodc adodc;
        adodc.SetRecordSource(source);
        adodc.Refresh();
        rows = adodc.rowCount();
    }
    state.counters["rows"] = rows;
}

void RefreshFirstScreen(benchmark::State& state, const std::string& sql) {
    CAdodc adodc;
    adodc.SetRecordSource(QString::fromStdString(sql));
    adodc.Refresh(); // opens the connection
    for (auto _ : state)
        adodc.Refresh();
    state.counters["rows"] = adodc.rowCount();
}

void GridFirstScreen(benchmark::State& state, const std::string& sql) {
    CAdodc adodc;
    CDataGrid grid;
    grid.SetDataSource(&adodc);
    grid.resize(1000, grid.verticalHeader()->defaultSectionSize() * kScreenRows +
                          grid.horizontalHeader()->sizeHint().height() + 2 * grid.frameWidth());
    grid.show();
    adodc.SetRecordSource(QString::fromStdString(sql));
    for (auto _ : state) {
        adodc.Refresh();
        for (int column = 0; column < int(kFilmWidths.size()); ++column)
            grid.SetColumnWidth(column, kFilmWidths[size_t(column)]);
        grid.repaint();
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = adodc.rowCount();
}

void EngineFirstScreen(benchmark::State& state, const std::string& sql) {
    const DatabaseHandle db = Connect();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
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

void RecordRefreshFirstScreen(benchmark::State& state, const RecordAction& action) {
    RefreshFirstScreen(state, StatementOf(action));
}

void RecordEngineFirstScreen(benchmark::State& state, const RecordAction& action) {
    EngineFirstScreen(state, StatementOf(action));
}

// The statement a film-name or date search stands for, as the engine runs it.
void RecordDescribedFirstScreen(benchmark::State& state, const RecordAction& action) {
    const QString text = QString::fromStdString(action.text);
    const QString described =
        action.kind == 2 ? RentGrid::FilmNameContains(text) : RentGrid::BorrowDateContains(text);
    EngineFirstScreen(state, described.toStdString());
}

// The first open of a large shop written before the rental window's indexes: the upgrade builds
// them, in one transaction.
void UpgradeOnFirstOpen(benchmark::State& state) {
    const QString older = QStringLiteral("older.mdb");
    ConnectionSettings settings =
        DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile));
    settings.dataSource = older;
    for (auto _ : state) {
        state.PauseTiming();
        QString error;
        if (!CopyShopFile(QStringLiteral("cddata.mdb"), older, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        {
            const DatabaseHandle db = DatabaseOpen::CreateDatabase(settings, &error); // taken as it is
            if (!db || sqlite3_exec(db.get(),
                                    "DROP INDEX Record_Type; DROP INDEX Record_Out; DROP INDEX Film_NameCode;"
                                    "DROP INDEX Record_BorrowDate; PRAGMA user_version = 0;",
                                    nullptr, nullptr, nullptr) != SQLITE_OK) {
                state.SkipWithError("cannot make the older file");
                return;
            }
        }
        state.ResumeTiming();
        const DatabaseHandle db =
            DatabaseOpen::OpenDatabaseDescribed(settings, &error); // as the program opens it
        if (!db)
            state.SkipWithError(qPrintable(error));
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(older + QString::fromLatin1(suffix));
}

long ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Scrolls through 10000 rows as the grid would fetch them and reports what the model then holds:
// the growth of the resident set and the bytes of the cells' text.
void ScrolledMemory(benchmark::State& state, const std::string& sql) {
    for (auto _ : state) {
        const long before = ResidentBytes();
        CAdodc adodc;
        adodc.SetRecordSource(QString::fromStdString(sql));
        adodc.Refresh();
        while (adodc.rowCount() < kScrolledRows && adodc.canFetchMore(QModelIndex()))
            adodc.fetchMore(QModelIndex());
        const long after = ResidentBytes();
        long long text = 0;
        for (int row = 0; row < adodc.rowCount(); ++row) {
            for (int column = 0; column < adodc.columnCount(); ++column)
                text += adodc.Text(row, column).size() * qsizetype(sizeof(QChar));
        }
        state.counters["rows"] = adodc.rowCount();
        state.counters["rss_growth_KiB"] = double(after - before) / 1024;
        state.counters["text_KiB"] = double(text) / 1024;
        state.counters["cells"] = double(adodc.rowCount()) * adodc.columnCount();
    }
}

// The film and client lists sorted by each shown column, both ways, as a click on the heading runs them.
std::vector<BrowseQuery> SortedQueries() {
    std::vector<BrowseQuery> sorted;
    const std::pair<const char*, QString> lists[] = {{"Films", FilmGrid::All()},
                                                     {"Clients", ClientGrid::All()}};
    for (const auto& [name, statement] : lists) {
        CAdodc adodc;
        adodc.SetRecordSource(statement + QStringLiteral(" LIMIT 0"));
        adodc.Refresh();
        for (int column = 1; column < adodc.columnCount(); ++column) {
            for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder})
                sorted.push_back({std::string(name) + "/Sorted/" +
                                      adodc.headerData(column, Qt::Horizontal).toString().toStdString() +
                                      (order == Qt::AscendingOrder ? "/Ascending" : "/Descending"),
                                  GridOrder::Sorted(statement, column, order).toStdString()});
        }
    }
    return sorted;
}

void RegisterAll() {
    for (const BrowseQuery& query : SortedQueries()) {
        benchmark::RegisterBenchmark((query.name + "/Refresh").c_str(), RefreshFirstScreen, query.sql)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((query.name + "/Engine").c_str(), EngineFirstScreen, query.sql)
            ->Unit(benchmark::kMillisecond);
    }
    std::vector<BrowseQuery> queries = FilmQueries();
    queries.push_back({"Records/All", kRecordsAll});
    // Memory first, before other benchmarks leave freed memory that the model would reuse.
    benchmark::RegisterBenchmark("Films/All/Scrolled10000", ScrolledMemory, queries.front().sql)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Records/All/Scrolled10000", ScrolledMemory, std::string(kRecordsAll))
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    for (const RecordAction& action : RecordActions()) {
        benchmark::RegisterBenchmark((action.name + "/Window").c_str(), WindowFirstScreen, action)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((action.name + "/Refresh").c_str(), RecordRefreshFirstScreen, action)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((action.name + "/Engine").c_str(), RecordEngineFirstScreen, action)
            ->Unit(benchmark::kMillisecond);
        if (action.filter < 0 && action.kind >= 2)
            benchmark::RegisterBenchmark((action.name + "/Described").c_str(), RecordDescribedFirstScreen,
                                         action)
                ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Upgrade/FirstOpen", UpgradeOnFirstOpen)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    for (const BrowseQuery& query : queries) {
        benchmark::RegisterBenchmark((query.name + "/Model").c_str(), ModelFirstScreen, query.sql)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((query.name + "/Refresh").c_str(), RefreshFirstScreen, query.sql)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((query.name + "/Grid").c_str(), GridFirstScreen, query.sql)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((query.name + "/Engine").c_str(), EngineFirstScreen, query.sql)
            ->Unit(benchmark::kMillisecond);
    }
}
} // namespace

int main(int argc, char** argv) {
    return RunOnLargeShop(argc, argv, RegisterAll);
}
