#include "data/PinyinSearch.h"

#include "base/Pinyin.h"
#include "base/SearchKeys.h"
#include "data/Sql.h"

#include <algorithm>

namespace {
// The keys beginning with the text, read as one range of their index: keys hold only lowercase
// letters and digits, all below '{'.
QString KeyPrefix(const QString& pinyin) {
    return QStringLiteral("Pinyin >= '%1' AND Pinyin < '%1{'").arg(pinyin);
}
} // namespace

bool PinyinSearch::ByKeys(const QString& typed) {
    // Any other sign (a quote, %, _) leaves the text to the searches that take it as typed.
    const QString text = typed.trimmed();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char(' '));
    });
}

QString PinyinSearch::FilmHits(const QString& typed) {
    const QString pinyin = Pinyin::SearchText(typed);
    const QString code = Sql::Like(typed.trimmed());
    return QStringLiteral(
               "SELECT Hit, MIN(Rank) AS Rank FROM ("
               "SELECT Film AS Hit, CASE Kind WHEN %1 THEN 0 WHEN %2 THEN 2 ELSE 3 END AS Rank FROM FilmKey "
               "WHERE %3 "
               "UNION ALL SELECT ID, CASE WHEN FilmID LIKE '%5%' ESCAPE '\\' THEN 1 ELSE 5 END FROM Film "
               "WHERE FilmID LIKE '%%5%' ESCAPE '\\' "
               "UNION ALL SELECT Film, 4 FROM FilmKey WHERE Pinyin LIKE '%%4%'"
               ") AS Hits GROUP BY Hit")
        .arg(SearchKeys::TitleInitials)
        .arg(SearchKeys::TitleFull)
        .arg(KeyPrefix(pinyin), pinyin, code);
}

QString PinyinSearch::ClientHits(const QString& typed) {
    const QString pinyin = Pinyin::SearchText(typed);
    const QString code = Sql::Like(typed.trimmed());
    return QStringLiteral(
               "SELECT Hit, MIN(Rank) AS Rank FROM ("
               "SELECT Client AS Hit, CASE Kind WHEN %1 THEN 0 WHEN %2 THEN 2 ELSE 3 END AS Rank "
               "FROM ClientKey WHERE %3 "
               "UNION ALL SELECT ID, CASE WHEN ClientID LIKE '%5%' ESCAPE '\\' THEN 1 ELSE 5 END FROM Client "
               "WHERE ClientID LIKE '%%5%' ESCAPE '\\' "
               "UNION ALL SELECT Client, 4 FROM ClientKey WHERE Pinyin LIKE '%%4%'"
               ") AS Hits GROUP BY Hit")
        .arg(SearchKeys::RemarkInitials)
        .arg(SearchKeys::PhoneDigits)
        .arg(KeyPrefix(pinyin), pinyin, code);
}
