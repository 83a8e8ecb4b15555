// 导入 of a catalogue of 50 000 films from one CSV file into an empty shop, on the file's engine:
// the file read, the trial run and the import's one transaction, each timed (goal: 10 s in all).
#include "BenchShop.h"

#include "access/Session.h"
#include "base/CsvRead.h"
#include "data/ImportPlan.h"
#include "data/ImportWrite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
constexpr int kFilms = 50000;

// Titles and actors of a real catalogue's length, Chinese, quoted where a spreadsheet quotes.
QByteArray Catalogue() {
    static const char16_t* const words[] = {u"英雄",     u"无间道",   u"功夫",     u"大话西游",
                                            u"霸王别姬", u"花样年华", u"卧虎藏龙", u"让子弹飞"};
    static const char16_t* const actors[] = {u"李连杰", u"刘德华", u"周星驰", u"张国荣", u"梁朝伟"};
    QString text = QStringLiteral("编号,片名,主演,类型,分类1,分类2,入库日期,租次,备注\r\n");
    for (int i = 0; i < kFilms; ++i) {
        text += QStringLiteral("F%1,%2%3,%4,%5,动作片,港台,2024-03-%6,%7,\"第 %1 部, 库存\"\r\n")
                    .arg(i, 6, 10, QLatin1Char('0'))
                    .arg(QString::fromUtf16(words[i % 8]))
                    .arg(i / 8)
                    .arg(QString::fromUtf16(actors[i % 5]))
                    .arg(i % 2 ? QStringLiteral("DVD") : QStringLiteral("VCD"))
                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                    .arg(i % 100);
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

void ImportFilms(benchmark::State& state) {
    const QByteArray bytes = Catalogue();
    const SignedIn admin(QStringLiteral("Admin"), QStringLiteral("管理员"));
    double read = 0, trial = 0, write = 0;
    int reports = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto shop = std::make_unique<BenchShop>();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        const CsvRead::Table table = CsvRead::Parse(bytes);
        read = double(clock.restart());
        Import::Plan plan;
        QString error;
        if (!Import::Trial(Import::What::Films, table, Import::Match(Import::What::Films, table.headings), {},
                           &plan, &error) ||
            plan.Count(Import::Fate::New) != kFilms) {
            state.SkipWithError("the trial run did not accept every film");
            break;
        }
        trial = double(clock.restart());
        QString refusal;
        const auto progress = [&reports](int, int) {
            ++reports;
            return true;
        };
        if (Import::Write(plan, QStringLiteral("films.csv"), QStringLiteral("Admin"), progress, &refusal) !=
            Import::Outcome::Done)
            state.SkipWithError("the import did not finish");
        write = double(clock.elapsed());
        state.PauseTiming();
        shop.reset();
        state.ResumeTiming();
    }
    state.counters["films"] = kFilms;
    state.counters["readMs"] = read;
    state.counters["trialMs"] = trial;
    state.counters["writeMs"] = write;
    state.counters["progressReports"] = reports;
}
} // namespace

BENCHMARK(ImportFilms)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    InstallConsolePrompter();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
