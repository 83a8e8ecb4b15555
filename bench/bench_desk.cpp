// The desk's transactions on a large shop, through the dialogs' own handlers, each beside the
// least the engine needs for the same statements: one open connection, one transaction.
#include "BenchShop.h"
#include "LargeShop.h"

#include "access/Session.h"
#include "data/CAdoDb.h"
#include "data/engine/file/DatabaseOpen.h"
#include "desk/CExchangeDlg.h"
#include "desk/CLendDlg.h"
#include "desk/CReturnDlg.h"
#include "ui_CExchangeDlg.h"
#include "ui_CLendDlg.h"
#include "ui_CReturnDlg.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {
// Codes taken from the shop once, handed out one per iteration.
class Codes {
public:
    explicit Codes(const char* sql) {
        QString error;
        const DatabaseHandle db = DatabaseOpen::OpenDatabase(
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db.get(), sql, -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            m_codes << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    void Rewind() { m_next = 0; }
    QString Next() {
        if (m_next >= m_codes.size())
            qFatal("the benchmark ran out of codes");
        return m_codes.at(m_next++);
    }

private:
    QStringList m_codes;
    qsizetype m_next = 0;
};

Codes* g_available = nullptr; // films not out
Codes* g_out = nullptr;       // films out
Codes* g_clients = nullptr;   // clients who can pay many months

// The engine alone: the statements of one desk action on a connection kept open, in one transaction.
class Engine {
public:
    Engine() {
        QString error;
        m_db = DatabaseOpen::OpenDatabase(
            DatabaseOpen::ParseConnectionString(QString::fromUtf8(ShopConnection::kFile)), &error);
    }
    void Run(const QByteArrayList& statements) {
        sqlite3_exec(m_db.get(), "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (const QByteArray& sql : statements) {
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare_v2(m_db.get(), sql.constData(), -1, &stmt, nullptr);
            benchmark::DoNotOptimize(sqlite3_step(stmt)); // a SELECT needs its first row only
            sqlite3_finalize(stmt);
        }
        sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr);
    }

private:
    DatabaseHandle m_db;
};

QByteArray Q(const QString& s) {
    return '\'' + s.toUtf8() + '\'';
}

template <typename Dlg, typename Fill> void ThroughDialog(benchmark::State& state, Fill fill) {
    for (auto _ : state) {
        state.PauseTiming();
        Dlg dlg;
        dlg.OnInitDialog();
        fill(dlg);
        state.ResumeTiming();
        dlg.OnOK();
        if (!dlg.IsEnded())
            state.SkipWithError("the desk refused");
    }
}

void LendMonthly(benchmark::State& state) {
    ThroughDialog<CLendDlg>(state, [](CLendDlg& d) {
        d.Form()->clientEdit->setText(g_clients->Next());
        d.Form()->filmEdit->setText(g_available->Next());
    });
}
void LendMonthlyEngine(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) {
        const QString c = g_clients->Next(), f = g_available->Next();
        engine.Run(
            {"SELECT * FROM Client WHERE ClientID=" + Q(c), "SELECT * FROM Film WHERE FilmID=" + Q(f),
             "SELECT * FROM Record WHERE FilmID=" + Q(f) + " AND ReturnDate=''",
             "SELECT * FROM Client WHERE ClientID=" + Q(c), "SELECT * FROM Film WHERE FilmID=" + Q(f),
             "SELECT * FROM Setting", "UPDATE Client SET Balance=Balance-30 WHERE ClientID=" + Q(c),
             "UPDATE Film SET Degree=Degree+1 WHERE FilmID=" + Q(f),
             "INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) VALUES(" +
                 Q(c) + "," + Q(f) + ",'月租',0.000000,'2026-12-07','','Admin')"});
    }
}

void LendDaily(benchmark::State& state) {
    ThroughDialog<CLendDlg>(state, [](CLendDlg& d) {
        d.Form()->typeCombo->setCurrentIndex(1);
        d.Form()->filmEdit->setText(g_available->Next());
        d.Form()->depositEdit->setText(QStringLiteral("50"));
    });
}
void LendDailyEngine(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) {
        const QString f = g_available->Next();
        engine.Run(
            {"SELECT * FROM Film WHERE FilmID=" + Q(f),
             "SELECT * FROM Record WHERE FilmID=" + Q(f) + " AND ReturnDate=''",
             "SELECT * FROM Film WHERE FilmID=" + Q(f), "SELECT * FROM Setting",
             "UPDATE Film SET Degree=Degree+1 WHERE FilmID=" + Q(f),
             "INSERT INTO Record (ClientID,FilmID,Type,Foregift,BorrowDate,ReturnDate,OptUser) VALUES(''," +
                 Q(f) + ",'零租',45.000000,'2026-12-07','','Admin')"});
    }
}

void Return(benchmark::State& state) {
    ThroughDialog<CReturnDlg>(state, [](CReturnDlg& d) { d.Form()->filmEdit->setText(g_out->Next()); });
}
void ReturnEngine(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) {
        const QString f = g_out->Next();
        engine.Run({"SELECT * FROM Film WHERE FilmID=" + Q(f),
                    "SELECT * FROM Record WHERE FilmID=" + Q(f) + " AND ReturnDate=''",
                    "SELECT * FROM Record WHERE FilmID=" + Q(f) + " AND ReturnDate=''",
                    "SELECT * FROM Film WHERE FilmID=" + Q(f),
                    "SELECT * FROM Record WHERE FilmID=" + Q(f) + " AND ReturnDate=''",
                    "UPDATE Record SET ReturnDate='2026-12-07',OptUser='Admin' WHERE FilmID=" + Q(f) +
                        " AND ReturnDate=''"});
    }
}

void Exchange(benchmark::State& state) {
    ThroughDialog<CExchangeDlg>(state, [](CExchangeDlg& d) {
        d.Form()->oldFilmEdit->setText(g_out->Next());
        d.Form()->newFilmEdit->setText(g_available->Next());
    });
}
void ExchangeEngine(benchmark::State& state) {
    Engine engine;
    for (auto _ : state) {
        const QString o = g_out->Next(), n = g_available->Next();
        engine.Run({"SELECT * FROM Film WHERE FilmID=" + Q(o), "SELECT * FROM Film WHERE FilmID=" + Q(n),
                    "SELECT * FROM Record WHERE FilmID=" + Q(o) + " AND ReturnDate=''",
                    "SELECT * FROM Record WHERE FilmID=" + Q(n) + " AND ReturnDate=''",
                    "SELECT * FROM Film WHERE FilmID=" + Q(o), "SELECT * FROM Film WHERE FilmID=" + Q(n),
                    "SELECT * FROM Record WHERE FilmID=" + Q(o) + " AND ReturnDate=''",
                    "SELECT * FROM Record WHERE FilmID=" + Q(n) + " AND ReturnDate=''",
                    "UPDATE Record SET FilmID=" + Q(n) + ",OptUser='Admin' WHERE FilmID=" + Q(o) +
                        " AND ReturnDate=''"});
    }
}
} // namespace

// Fixed iteration counts: every iteration uses up a film, so the runs must not outgrow the shop.
BENCHMARK(LendMonthly)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(LendMonthlyEngine)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(LendDaily)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(LendDailyEngine)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(Return)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(ReturnEngine)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(Exchange)->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(ExchangeEngine)->Unit(benchmark::kMillisecond)->Iterations(300);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallConsolePrompter(); // answers the return's and the exchange's question with Yes
    BenchShop shop(EnsureLargeShop());
    const QString server = MoveOntoBenchServer(shop);
    const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
    Codes available(
        "SELECT FilmID FROM Film WHERE FilmID NOT IN (SELECT FilmID FROM Record WHERE ReturnDate='') "
        "ORDER BY random() LIMIT 3000");
    Codes out("SELECT FilmID FROM Record WHERE ReturnDate='' ORDER BY random() LIMIT 2000");
    Codes clients("SELECT ClientID FROM Client WHERE Balance > 100 ORDER BY random() LIMIT 1000");
    g_available = &available;
    g_out = &out;
    g_clients = &clients;
    benchmark::Initialize(&argc, argv);
    // The server holds the shop as it was before the file's run: the same codes serve again.
    RunOnFileAndServer(server, [&] {
        available.Rewind();
        out.Rewind();
        clients.Rewind();
    });
    benchmark::Shutdown();
    return 0;
}
