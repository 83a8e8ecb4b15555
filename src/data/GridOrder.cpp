#include "data/GridOrder.h"

#include <QStringList>

namespace {
bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool WordAt(const QString& text, qsizetype at, QLatin1String word) {
    if (text.size() - at < word.size() ||
        QStringView(text).mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const bool startsWord = at == 0 || !IsWordCharacter(text.at(at - 1));
    const bool endsWord = at + word.size() == text.size() || !IsWordCharacter(text.at(at + word.size()));
    return startsWord && endsWord;
}

// Where the statement's own ORDER BY begins (outside quotes and brackets), or -1; *compound is set
// when the statement joins SELECTs with UNION, INTERSECT or EXCEPT. -2 when the quotes or brackets
// do not match up.
qsizetype OwnOrderBy(const QString& sql, bool* compound) {
    qsizetype found = -1;
    int depth = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar(); // a doubled quote closes and opens again
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            if (--depth < 0)
                return -2;
        } else if (depth == 0) {
            if (WordAt(sql, i, QLatin1String("ORDER")) &&
                QStringView(sql).mid(i + 5).trimmed().startsWith(QLatin1String("BY"), Qt::CaseInsensitive))
                found = i;
            else if (WordAt(sql, i, QLatin1String("UNION")) || WordAt(sql, i, QLatin1String("INTERSECT")) ||
                     WordAt(sql, i, QLatin1String("EXCEPT")))
                *compound = true;
        }
    }
    return quote.isNull() && depth == 0 ? found : -2;
}

// The terms of an ORDER BY each turned the other way: "ID DESC" becomes "ID ASC", "r.ID" "r.ID DESC".
// A LIMIT after them stays. Terms are split at the commas outside brackets and quotes.
QString TurnedRound(const QString& terms) {
    QStringList turned;
    qsizetype start = 0;
    int depth = 0;
    QChar quote;
    qsizetype end = terms.size();
    for (qsizetype i = 0; i <= terms.size(); ++i) {
        const QChar c = i < terms.size() ? terms.at(i) : QChar(QLatin1Char(','));
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = c;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        const bool limit = depth == 0 && WordAt(terms, i, QLatin1String("LIMIT"));
        if (depth == 0 && (c == QLatin1Char(',') || limit)) {
            QString term = terms.mid(start, i - start).trimmed();
            if (term.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive))
                term = term.chopped(5).trimmed() + QStringLiteral(" ASC");
            else if (term.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive))
                term = term.chopped(4).trimmed() + QStringLiteral(" DESC");
            else
                term += QStringLiteral(" DESC");
            turned << term;
            start = i + 1;
            if (limit) {
                end = i;
                break;
            }
        }
    }
    return turned.join(QStringLiteral(", ")) +
           (end < terms.size() ? QLatin1Char(' ') + terms.mid(end) : QString());
}
} // namespace

bool GridOrder::CanSort(const QString& statement) {
    bool compound = false;
    return OwnOrderBy(statement, &compound) != -2 && !compound && !statement.trimmed().isEmpty();
}

QString GridOrder::Sorted(const QString& statement, int column, Qt::SortOrder order) {
    if (column < 0 || !CanSort(statement))
        return statement;
    bool compound = false;
    const qsizetype at = OwnOrderBy(statement, &compound);
    // A result column by its place: the same on both engines, whatever its heading.
    const QString key = QString::number(column + 1) +
                        (order == Qt::DescendingOrder ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    if (at < 0)
        return statement + QStringLiteral(" ORDER BY ") + key;
    const qsizetype by = statement.indexOf(QLatin1String("BY"), at + 5, Qt::CaseInsensitive) + 2;
    const QString own = statement.mid(by).trimmed();
    return statement.left(by) + QLatin1Char(' ') + key + QStringLiteral(", ") +
           (order == Qt::DescendingOrder ? own : TurnedRound(own));
}
