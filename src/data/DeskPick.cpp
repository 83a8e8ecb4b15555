#include "data/DeskPick.h"

#include "data/CReserveInfo.h"
#include "data/PinyinSearch.h"
#include "data/Sql.h"

QString DeskPick::Clients(const QString& text) {
    QString sql = QStringLiteral("SELECT ClientID AS 客户编号, PhoneNum AS 电话, Remark AS 备注, "
                                 "Balance AS 余额 FROM Client");
    if (PinyinSearch::ByKeys(text))
        return PinyinSearch::Clients(sql, text, QString(), QStringLiteral("ClientID"));
    if (!text.isEmpty()) {
        const QString pattern = Sql::Contains(text);
        sql += QStringLiteral(" WHERE ClientID LIKE %1 OR PhoneNum LIKE %1 OR Remark LIKE %1").arg(pattern);
    }
    return sql + QStringLiteral(" ORDER BY ClientID");
}

QString DeskPick::Films(const QString& text, bool onlyIn) {
    // The open rental of the film, if any: NULL when the film is in. Asked as a value rather than with
    // EXISTS, which the server turns into a hash of every open rental built before the first film
    // (tens of milliseconds); a value is looked up film by film in the index of open rentals, and the first
    // screen comes at once on both engines. The rows are those of EXISTS, in the same order.
    const QString open = QStringLiteral(
        "(SELECT 1 FROM Record WHERE Record.FilmID = Film.FilmID AND Record.ReturnDate = '' LIMIT 1)");
    // A disc in the shop held for a reservation is 已留片: 在店 is a disc free to lend.
    const QString held =
        QStringLiteral("(SELECT 1 FROM Reservation WHERE Reservation.HeldFilmID = Film.FilmID AND "
                       "Reservation.State = '%1' LIMIT 1)")
            .arg(Sql::Text(CReserveInfo::kHeld));
    QString sql =
        QStringLiteral("SELECT FilmID AS 影片编号, FilmName AS 片名, Playactor AS 主演, Type AS 类型, "
                       "Class1 AS 分类, CASE WHEN %1 IS NOT NULL THEN '借出' WHEN %2 IS NOT NULL THEN '%3' "
                       "ELSE '在店' END AS 状态 FROM Film")
            .arg(open, held, Sql::Text(CReserveInfo::kHeld));
    // Latin letters and digits find codes and pinyin keys, the initials' prefix first.
    if (PinyinSearch::ByKeys(text))
        return PinyinSearch::Films(sql, text, onlyIn ? open + QStringLiteral(" IS NULL") : QString(),
                                   QStringLiteral("ID"));
    QStringList where;
    if (!text.isEmpty())
        where << QStringLiteral("(FilmID LIKE %1 OR FilmName LIKE %1 OR Playactor LIKE %1)")
                     .arg(Sql::Contains(text));
    if (onlyIn)
        where << open + QStringLiteral(" IS NULL");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    // In the order the films came into the shop: the table's own order, no sorting.
    return sql + QStringLiteral(" ORDER BY ID");
}
