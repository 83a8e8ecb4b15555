#include "data/PinyinSearch.h"

#include "base/Pinyin.h"
#include "base/SearchKeys.h"
#include "data/Sql.h"

#include <algorithm>

namespace {
struct Table {
    const char* name;  // Film
    const char* code;  // FilmID
    const char* keys;  // FilmKey
    const char* owner; // Film
    int first;         // the kind ranked 0
    int afterCode;     // the kind ranked 2
    int starts;        // the last kind of the keys read from the start
};
const Table kFilms{"Film",
                   "FilmID",
                   "FilmKey",
                   "Film",
                   SearchKeys::TitleInitials,
                   SearchKeys::TitleFull,
                   SearchKeys::kFilmStarts};
const Table kClients{"Client",
                     "ClientID",
                     "ClientKey",
                     "Client",
                     SearchKeys::RemarkInitials,
                     SearchKeys::PhoneDigits,
                     SearchKeys::kClientStarts};

// The keys beginning with the text are one range of their index: they hold only lowercase letters
// and digits, all below '{'.
QString KeyRange(const QString& pinyin) {
    return QStringLiteral("Pinyin >= '%1' AND Pinyin < '%1{'").arg(pinyin);
}

// (Hit, Rank) of the rows whose key or code begins with the text. The codes beginning with it are
// a range of their index too, up to the text followed by U+FFFD, above every character a code holds
// (a LIKE would read every code on the server, whose LIKE on text without letter case reads no index).
QString PrefixHits(const Table& t, const QString& pinyin, const QString& code) {
    return QStringLiteral("SELECT Hit, MIN(Rank) AS Rank FROM ("
                          "SELECT %1 AS Hit, CASE Kind WHEN %2 THEN 0 WHEN %3 THEN 2 ELSE 3 END AS Rank "
                          "FROM %4 WHERE %5 AND Kind <= %6 "
                          "UNION ALL SELECT ID, 1 FROM %7 WHERE %8 >= '%9' AND %8 < '%9\uFFFD') AS Prefixes "
                          "GROUP BY Hit")
        .arg(QLatin1String(t.owner))
        .arg(t.first)
        .arg(t.afterCode)
        .arg(QLatin1String(t.keys), KeyRange(pinyin))
        .arg(t.starts)
        .arg(QLatin1String(t.name), QLatin1String(t.code), code);
}

QString Statement(const Table& t, const QString& select, const QString& typed, const QString& also,
                  const QString& order) {
    const QString pinyin = Pinyin::SearchText(typed);
    const QString code = Sql::Text(typed.trimmed());
    const QString hits = PrefixHits(t, pinyin, code);
    const QString andAlso = also.isEmpty() ? QString() : QStringLiteral(" AND ") + also;
    const QString first = QStringLiteral("%1 JOIN (%2) AS Hits ON Hits.Hit = %3.ID%4 ORDER BY Hits.Rank, %5")
                              .arg(select, hits, QLatin1String(t.name),
                                   also.isEmpty() ? QString() : QStringLiteral(" WHERE ") + also, order);
    // Inside a key: the beginning of a key read from a later character on, again an index range.
    // Inside a code only for a text with a digit (codes are numbered; letters alone are pinyin):
    // that reads every code.
    // The few clients are also read whole, as the picker always read them: a phone or a remark as
    // written holds the text too.
    const bool digits = std::any_of(code.begin(), code.end(), [](QChar c) { return c.isDigit(); });
    QString insideCode = digits ? QStringLiteral(" UNION SELECT ID FROM %1 WHERE %2 LIKE '%%3%'")
                                      .arg(QLatin1String(t.name), QLatin1String(t.code), code)
                                : QString();
    if (&t == &kClients)
        insideCode =
            QStringLiteral(" UNION SELECT ID FROM Client WHERE ClientID LIKE '%%1%' OR PhoneNum LIKE "
                           "'%%1%' OR Remark LIKE '%%1%'")
                .arg(code);
    const QString inside =
        QStringLiteral("%1 WHERE ID IN (SELECT %2 FROM %3 WHERE %4 AND Kind > %5%6) AND ID NOT IN "
                       "(SELECT Hit FROM (%7) AS Again)")
            .arg(select, QLatin1String(t.owner), QLatin1String(t.keys), KeyRange(pinyin))
            .arg(t.starts)
            .arg(insideCode, hits) +
        andAlso + QStringLiteral(" ORDER BY ") + order;
    return QStringLiteral("SELECT * FROM (%1) AS Prefixed UNION ALL SELECT * FROM (%2) AS Inside")
        .arg(first, inside);
}
} // namespace

bool PinyinSearch::ByKeys(const QString& typed) {
    // Any other sign (a quote, %, _) leaves the text to the searches that take it as typed.
    const QString text = typed.trimmed();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char(' '));
    });
}

QString PinyinSearch::Films(const QString& select, const QString& typed, const QString& also,
                            const QString& order) {
    return Statement(kFilms, select, typed, also, order);
}

QString PinyinSearch::Clients(const QString& select, const QString& typed, const QString& also,
                              const QString& order) {
    return Statement(kClients, select, typed, also, order);
}
