#pragma once
// Each tst_*.cpp of a folder registers its test classes; the folder's one program runs them all.
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace TestRegistry {
using Factory = std::function<std::unique_ptr<QObject>()>;
void Add(const char* name, Factory factory);
} // namespace TestRegistry

#define VORIX_TEST(Class)                                                                                    \
    static const bool Class##_registered =                                                                   \
        (TestRegistry::Add(#Class, [] { return std::make_unique<Class>(); }), true);

// A class that looks at the shop file itself: it runs on the file only, never on the server.
#define VORIX_TEST_ON_FILE_ONLY(Class) VORIX_TEST(Class)
