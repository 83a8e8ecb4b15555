#include "TestRegistry.h"

#include "base/Prompter.h"

#include <QApplication>
#include <QTest>
#include <cstring>
#include <utility>

namespace {
std::vector<std::pair<const char*, TestRegistry::Factory>>& Registered() {
    static std::vector<std::pair<const char*, TestRegistry::Factory>> classes;
    return classes;
}
} // namespace

void TestRegistry::Add(const char* name, Factory factory) {
    Registered().emplace_back(name, std::move(factory));
}

// Runs every registered class, or only the one named by -class NAME; other arguments go to QtTest.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    QString only;
    const qsizetype at = args.indexOf(QStringLiteral("-class"));
    if (at > 0 && at + 1 < args.size()) {
        only = args.at(at + 1);
        args.remove(at, 2);
    }
    int failures = 0;
    int ran = 0;
    for (const auto& [name, factory] : Registered()) {
        if (!only.isEmpty() && only != QLatin1String(name))
            continue;
        std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), args);
        ++ran;
    }
    if (ran == 0) {
        qWarning("no test class is called %s", qPrintable(only));
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
