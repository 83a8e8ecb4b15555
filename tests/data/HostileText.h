#pragma once
// Text values that break naively composed statements, each with a near value that must not match it.
#include <QString>
#include <QTest>

inline void AddHostileTexts() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("near");
    QTest::newRow("quote") << QStringLiteral("O'Neil") << QStringLiteral("ONeil");
    QTest::newRow("always true") << QStringLiteral("' OR ''='") << QStringLiteral("x");
    QTest::newRow("comment") << QStringLiteral("x'--") << QStringLiteral("x");
    QTest::newRow("percent") << QStringLiteral("%") << QStringLiteral("50");
    QTest::newRow("underscore") << QStringLiteral("_") << QStringLiteral("a");
    QTest::newRow("trailing blank") << QStringLiteral("A1 ") << QStringLiteral("A1");
    QTest::newRow("chinese") << QStringLiteral("张三") << QStringLiteral("张三丰");
    QTest::newRow("empty") << QString() << QStringLiteral(" ");
}
