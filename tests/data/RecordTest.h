#pragma once
// Helpers shared by the tests of the record classes.
#include "Shop.h"

#include <QString>
#include <QTest>

// Inserts the record into its table and returns the new row's key (0 when refused).
template <class Record> int Added(Record record, const QString& table) {
    if (!record.Insert())
        return 0;
    return Db::Value(QStringLiteral("SELECT MAX(ID) AS v FROM ") + table).toInt();
}

// Text values that break naively composed statements, each with a near value that must not match it.
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
