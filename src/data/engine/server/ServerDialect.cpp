#include "data/engine/server/ServerDialect.h"

#include <QList>
#include <QRegularExpression>
#include <cstdio>

namespace {
struct Token {
    enum Kind { Space, Word, Literal, Other } kind;
    QString text;
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Words (names, keywords, numbers), quoted texts and names, blanks and comments, and single marks.
QList<Token> Tokens(const QString& sql) {
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const qsizetype start = i;
        const QChar c = sql.at(i);
        Token::Kind kind = Token::Other;
        if (c.isSpace()) {
            kind = Token::Space;
            while (i < n && sql.at(i).isSpace())
                ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            kind = Token::Space;
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A quote inside is doubled; an unclosed text runs to the end, as the engines read it.
            kind = Token::Literal;
            ++i;
            while (i < n) {
                if (sql.at(i) == c) {
                    if (i + 1 < n && sql.at(i + 1) == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
        } else if (IsWordChar(c)) {
            kind = Token::Word;
            while (i < n && IsWordChar(sql.at(i)))
                ++i;
        } else {
            ++i;
        }
        tokens.append({kind, sql.mid(start, i - start)});
    }
    return tokens;
}

bool Is(const Token& token, const char* word) {
    return token.kind == Token::Word && token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsMark(const Token& token, char mark) {
    return token.kind == Token::Other && token.text.size() == 1 && token.text.at(0) == QLatin1Char(mark);
}

// The next token after i that is not blank, or -1.
qsizetype NextSolid(const QList<Token>& tokens, qsizetype i) {
    for (++i; i < tokens.size(); ++i) {
        if (tokens.at(i).kind != Token::Space)
            return i;
    }
    return -1;
}

// The ")" that closes the "(" at open, and the commas at its own depth; -1 when it is not closed.
qsizetype Closing(const QList<Token>& tokens, qsizetype open, int* commas) {
    int depth = 0;
    *commas = 0;
    for (qsizetype i = open; i < tokens.size(); ++i) {
        if (IsMark(tokens.at(i), '('))
            ++depth;
        else if (IsMark(tokens.at(i), ')') && --depth == 0)
            return i;
        else if (depth == 1 && IsMark(tokens.at(i), ','))
            ++*commas;
    }
    return -1;
}

// Words that may follow a subquery in FROM where its name would stand.
bool EndsTheName(const Token& token) {
    static const char* const kWords[] = {"WHERE",  "GROUP",  "ORDER",   "LIMIT", "UNION",  "JOIN",
                                         "LEFT",   "INNER",  "CROSS",   "ON",    "EXCEPT", "INTERSECT",
                                         "HAVING", "OFFSET", "NATURAL", "WINDOW"};
    if (token.kind != Token::Word)
        return true;
    for (const char* word : kWords) {
        if (Is(token, word))
            return true;
    }
    return false;
}

// The key other than the ID of a table whose rows INSERT OR REPLACE writes.
QString NaturalKey(const QString& table) {
    return table.compare(QLatin1String("Options"), Qt::CaseInsensitive) == 0 ? QStringLiteral("Name")
                                                                             : QString();
}

// The columns of the shop's tables, spelled as the schema spells them.
const QStringList& SchemaColumns() {
    static const QStringList columns = {
        QStringLiteral("ID"),         QStringLiteral("ClientID"),   QStringLiteral("PhoneNum"),
        QStringLiteral("CreateDate"), QStringLiteral("Foregift"),   QStringLiteral("Balance"),
        QStringLiteral("Remark"),     QStringLiteral("FilmID"),     QStringLiteral("FilmName"),
        QStringLiteral("Playactor"),  QStringLiteral("Type"),       QStringLiteral("Class1"),
        QStringLiteral("Class2"),     QStringLiteral("StgDate"),    QStringLiteral("Degree"),
        QStringLiteral("BorrowDate"), QStringLiteral("ReturnDate"), QStringLiteral("OptUser"),
        QStringLiteral("OptName"),    QStringLiteral("OptPwd"),     QStringLiteral("MonthVcd"),
        QStringLiteral("MonthDvd"),   QStringLiteral("DayVcd"),     QStringLiteral("DayDvd"),
        QStringLiteral("At"),         QStringLiteral("Day"),        QStringLiteral("Kind"),
        QStringLiteral("Fen"),        QStringLiteral("RentID"),     QStringLiteral("Note"),
        QStringLiteral("Name"),       QStringLiteral("Value"),      QStringLiteral("Version")};
    return columns;
}
} // namespace

QString ServerDialect::Translate(const QString& sql) {
    const QList<Token> tokens = Tokens(sql);
    QString out;
    out.reserve(sql.size() + 16);
    int subqueries = 0;
    QList<qsizetype> nameAfter; // the ")" of subqueries in FROM that need a name
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens.at(i);
        const qsizetype next = NextSolid(tokens, i);
        const bool call = next >= 0 && IsMark(tokens.at(next), '(');
        int commas = 0;
        if (Is(token, "INDEXED") && next >= 0 && Is(tokens.at(next), "BY")) {
            const qsizetype name = NextSolid(tokens, next);
            i = name >= 0 ? name : next;
            continue;
        }
        if (Is(token, "group_concat") && call) {
            const qsizetype close = Closing(tokens, next, &commas);
            if (close > 0) {
                // The values as text, apart by the separator (a comma unless one is given).
                QString first;
                QString rest;
                int depth = 0;
                bool inRest = false;
                for (qsizetype k = next + 1; k < close; ++k) {
                    const Token& inner = tokens.at(k);
                    depth += IsMark(inner, '(') ? 1 : IsMark(inner, ')') ? -1 : 0;
                    if (!inRest && depth == 0 && IsMark(inner, ',')) {
                        inRest = true;
                        continue;
                    }
                    (inRest ? rest : first) += inner.text;
                }
                first = first.trimmed();
                QString distinct;
                if (first.startsWith(QLatin1String("DISTINCT "), Qt::CaseInsensitive)) {
                    distinct = QStringLiteral("DISTINCT ");
                    first = first.mid(9);
                }
                out += QStringLiteral("string_agg(%1CAST(%2 AS text), %3)")
                           .arg(distinct, Translate(first),
                                rest.isEmpty() ? QStringLiteral("','") : Translate(rest));
                i = close;
                continue;
            }
        }
        if (Is(token, "INSERT") && next >= 0 && Is(tokens.at(next), "OR")) {
            // INSERT OR REPLACE INTO T (columns) ...: a row of the same key takes the new values.
            const qsizetype replace = NextSolid(tokens, next);
            const qsizetype into = replace >= 0 ? NextSolid(tokens, replace) : -1;
            const qsizetype table = into >= 0 ? NextSolid(tokens, into) : -1;
            const qsizetype open = table >= 0 ? NextSolid(tokens, table) : -1;
            const QString key = table >= 0 ? NaturalKey(tokens.at(table).text) : QString();
            if (replace >= 0 && Is(tokens.at(replace), "REPLACE") && !key.isEmpty() && open >= 0 &&
                IsMark(tokens.at(open), '(')) {
                const qsizetype close = Closing(tokens, open, &commas);
                QStringList updates;
                for (qsizetype k = open + 1; k < close; ++k) {
                    const Token& column = tokens.at(k);
                    if (column.kind == Token::Word && column.text.compare(key, Qt::CaseInsensitive) != 0)
                        updates << QStringLiteral("%1=EXCLUDED.%1").arg(column.text);
                }
                QString rest;
                for (qsizetype k = table; k < tokens.size(); ++k)
                    rest += tokens.at(k).text;
                out += QStringLiteral("INSERT INTO ") + Translate(rest) +
                       QStringLiteral(" ON CONFLICT (%1) DO UPDATE SET %2")
                           .arg(key, updates.join(QLatin1Char(',')));
                break;
            }
        }
        if (Is(token, "printf") && call) {
            // printf('%.Nf', x), a number to N decimals: the one form of it the server writes so.
            const qsizetype format = NextSolid(tokens, next);
            const qsizetype comma = format >= 0 ? NextSolid(tokens, format) : -1;
            const QRegularExpressionMatch decimals =
                QRegularExpression(QStringLiteral("^'%\\.(\\d)f'$"))
                    .match(format >= 0 ? tokens.at(format).text : QString());
            const qsizetype close = Closing(tokens, next, &commas);
            if (decimals.hasMatch() && comma >= 0 && IsMark(tokens.at(comma), ',') && commas == 1 &&
                close > 0) {
                QString value;
                for (qsizetype k = comma + 1; k < close; ++k)
                    value += tokens.at(k).text;
                const int places = decimals.captured(1).toInt();
                out +=
                    QStringLiteral("to_char(CAST(%1 AS numeric), 'FM999999999990%2')")
                        .arg(Translate(value),
                             places == 0 ? QString() : QLatin1Char('.') + QString(places, QLatin1Char('0')));
                i = close;
                continue;
            }
        }
        if (Is(token, "IFNULL") && call) {
            out += QLatin1String("COALESCE");
            continue;
        }
        if ((Is(token, "max") || Is(token, "min")) && call && Closing(tokens, next, &commas) > 0 &&
            commas > 0) {
            out += Is(token, "max") ? QLatin1String("GREATEST") : QLatin1String("LEAST");
            continue;
        }
        if ((Is(token, "FROM") || Is(token, "JOIN")) && call) {
            const qsizetype first = NextSolid(tokens, next);
            const qsizetype close = Closing(tokens, next, &commas);
            if (first >= 0 && close > 0 && (Is(tokens.at(first), "SELECT") || Is(tokens.at(first), "WITH"))) {
                const qsizetype after = NextSolid(tokens, close);
                if (after < 0 || (EndsTheName(tokens.at(after)) && !Is(tokens.at(after), "AS")))
                    nameAfter << close;
            }
        }
        out += token.text;
        if (nameAfter.contains(i))
            out += QStringLiteral(" AS vorix_subquery%1").arg(++subqueries);
    }
    return out;
}

QString ServerDialect::ColumnName(const QString& serverName, const QString& sql) {
    for (const Token& token : Tokens(sql)) {
        if (token.kind == Token::Word && token.text.compare(serverName, Qt::CaseInsensitive) == 0)
            return token.text;
    }
    for (const QString& column : SchemaColumns()) {
        if (column.compare(serverName, Qt::CaseInsensitive) == 0)
            return column;
    }
    return serverName;
}

QByteArray ServerDialect::RealText(double value) {
    char text[40];
    const int size = std::snprintf(text, sizeof text, "%.15g", value);
    QByteArray real(text, size);
    if (real.contains("inf") || real.contains("nan"))
        return real;
    if (!real.contains('.')) {
        const qsizetype e = real.indexOf('e');
        real.insert(e < 0 ? real.size() : e, ".0");
    }
    return real;
}
