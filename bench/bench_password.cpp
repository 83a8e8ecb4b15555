// The cost of the operator password hash: one hash as the login, 添加 and 修改密码 compute it, and
// a whole login through the dialog (the shop's upgrade check, the two lookups, the comparison).
#include "BenchShop.h"

#include "access/CLoginDlg.h"
#include "base/PasswordHash.h"
#include "ui_CLoginDlg.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {
void OneHash(benchmark::State& state) {
    const QString stored = PasswordHash::Make(QStringLiteral("店长的密码"));
    for (auto _ : state)
        benchmark::DoNotOptimize(PasswordHash::Matches(stored, QStringLiteral("店长的密码")));
    state.counters["iterations"] = PasswordHash::kIterations;
}

void StoreNewPassword(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(PasswordHash::Make(QStringLiteral("店长的密码")));
}

// The login dialog's 登陆 with the right name and password, from the click to the signed-in session.
void Login(benchmark::State& state) {
    CLoginDlg login;
    login.Form()->nameEdit->setText(QStringLiteral("Admin"));
    login.Form()->passwordEdit->setText(QStringLiteral("admin"));
    for (auto _ : state) {
        login.OnOK();
        benchmark::DoNotOptimize(login.m_strFirstPasswordId);
    }
}
} // namespace

BENCHMARK(OneHash)->Unit(benchmark::kMillisecond);
BENCHMARK(StoreNewPassword)->Unit(benchmark::kMillisecond);
BENCHMARK(Login)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallConsolePrompter();
    BenchShop shop;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
