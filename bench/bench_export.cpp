// 导出 of the rental window on the large shop (VORIX_LARGE_SHOP names another): every rental of the
// window's first statement to a CSV file, the time and the rows, and the peak memory of the process
// before and after (goal: within 10 s, under 50 MB more).
#include "BenchShop.h"
#include "LargeShop.h"

#include "data/CRentInfo.h"
#include "data/CsvExport.h"

#include <QApplication>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {
long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void ExportRentals(benchmark::State& state) {
    const QList<CsvExport::Column> columns{{1, QStringLiteral("客户编号")}, {2, QStringLiteral("影片编号")},
                                           {3, QStringLiteral("影片名字")}, {4, QStringLiteral("类型")},
                                           {5, QStringLiteral("押金")},     {6, QStringLiteral("租借日期")},
                                           {7, QStringLiteral("还回日期")}, {8, QStringLiteral("操作员")}};
    const long before = PeakKb();
    qint64 rows = 0;
    // VORIX_EXPORT_FILE keeps the file where it names, to be read back by other programs.
    const QString path = qEnvironmentVariableIsEmpty("VORIX_EXPORT_FILE")
                             ? QStringLiteral("rentals.csv")
                             : qEnvironmentVariable("VORIX_EXPORT_FILE");
    for (auto _ : state) {
        QString error;
        if (CsvExport::Write(RentGrid::All(), columns, path, nullptr, &rows, &error) !=
            CsvExport::Result::Written)
            state.SkipWithError(qPrintable(error));
    }
    state.counters["rows"] = double(rows);
    state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
    state.counters["peakMB+"] = double(PeakKb() - before) / 1024;
}
} // namespace

BENCHMARK(ExportRentals)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    return RunOnLargeShop(argc, argv);
}
