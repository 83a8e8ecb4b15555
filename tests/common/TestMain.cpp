#include "TestEngine.h"
#include "TestRegistry.h"

#include "base/Prompter.h"

#include <QApplication>
#include <QTemporaryDir>
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
    // The user's settings of a test run are its own, never those in ~/.config; a program a test
    // starts keeps the folder it was given.
    QTemporaryDir settings;
    if (qEnvironmentVariableIsEmpty("VORIX_TEST_SETTINGS")) {
        qputenv("VORIX_TEST_SETTINGS", "1");
        qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    }
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
    const TestEngine::Run engine;
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
