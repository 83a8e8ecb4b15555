#include "data/Sql.h"

#include <QByteArrayView>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <string>

QString Sql::Text(const QString& value) {
    QString quoted = value;
    return quoted.replace(QLatin1Char('\''), QLatin1String("''"));
}

QString Sql::Plain(const QString& expression) {
    return QStringLiteral("CAST(%1 AS TEXT)").arg(expression);
}

QString Sql::Day(const QDate& day) {
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString Sql::Like(const QString& value) {
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar ch : value) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('%') || ch == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += ch;
    }
    return Text(escaped);
}

QString Sql::Contains(const QString& value) {
    return QStringLiteral("'%") + Like(value) + QStringLiteral("%' ESCAPE '\\'");
}

QString Sql::Real(float value) {
    // The shortest decimal that reads back as this float, so 1234.56 goes in as 1234.560000 and
    // not as its binary neighbour 1234.560059: what was typed is what the file holds.
    char shortest[32];
    const auto end = std::to_chars(shortest, shortest + sizeof shortest, value).ptr;
    return QString::asprintf("%f", std::strtod(std::string(shortest, end).c_str(), nullptr));
}

QString Sql::Int(int value) {
    return QString::asprintf("%d", value);
}

QString Sql::Key(RowKey key) {
    return key.IsValid() ? QString::number(key.Value()) : QStringLiteral("NULL");
}

namespace {
// Length of the leading decimal number of text (after blanks): sign, digits, fraction, exponent.
qsizetype NumberPrefix(const QString& text, qsizetype start, bool allowFraction) {
    qsizetype i = start;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9')
            ++i;
        return i - from;
    };
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    qsizetype count = digits();
    if (allowFraction && i < text.size() && text.at(i) == QLatin1Char('.')) {
        ++i;
        count += digits();
    }
    if (count == 0)
        return 0;
    if (allowFraction && i < text.size() &&
        (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        const qsizetype mark = i++;
        if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            ++i;
        if (digits() == 0)
            i = mark;
    }
    return i - start;
}

qsizetype SkipBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    return i;
}
} // namespace

int Sql::ToInt(const QString& text) {
    const qsizetype start = SkipBlanks(text);
    const qsizetype length = NumberPrefix(text, start, false);
    if (length == 0)
        return 0;
    bool ok = false;
    const qlonglong value = text.mid(start, length).toLongLong(&ok);
    if (!ok) // more digits than a long long holds
        return text.at(start) == QLatin1Char('-') ? INT_MIN : INT_MAX;
    return int(qBound(qlonglong(INT_MIN), value, qlonglong(INT_MAX)));
}

float Sql::ToReal(const QString& text) {
    const qsizetype start = SkipBlanks(text);
    const qsizetype length = NumberPrefix(text, start, true);
    return length == 0 ? 0.0f : float(text.mid(start, length).toDouble());
}

QString Sql::Amount(const QString& text) {
    return text.isEmpty() ? text : QString::asprintf("%.2f", text.toDouble());
}
