#include "data/PinyinKeys.h"

#include "base/SearchKeys.h"
#include "data/CAdoDb.h"
#include "data/Sql.h"

namespace {
bool Write(const char* table, const char* owner, RowKey key, const QList<SearchKeys::Key>& keys) {
    CAdoDb db;
    if (!db.Execute(QStringLiteral("DELETE FROM %1 WHERE %2=%3")
                        .arg(QLatin1String(table), QLatin1String(owner), Sql::Key(key))))
        return false;
    if (keys.isEmpty() || !key.IsValid())
        return true;
    return db.Execute(QStringLiteral("INSERT INTO %1 (%2, Kind, Pinyin) VALUES ")
                          .arg(QLatin1String(table), QLatin1String(owner)) +
                      QString::fromLatin1(SearchKeys::Values(key.Value(), keys)));
}

// The ID of the newest row of a code; no key when the read failed (shown) or found nothing.
RowKey NewRow(const char* table, const char* codeColumn, const QString& code, bool* failed) {
    CAdoDb db;
    const CRecordset& rs =
        db.Query(QStringLiteral("SELECT ID FROM %1 WHERE %2='%3' ORDER BY ID DESC")
                     .arg(QLatin1String(table), QLatin1String(codeColumn), Sql::Text(code)));
    *failed = rs.Result() == Lookup::Failed;
    return rs.Result() == Lookup::Found ? RowKey(rs.GetInt("ID")) : RowKey::FromText(QString());
}
} // namespace

bool PinyinKeys::WriteFilm(RowKey film, const QString& title, const QString& actor) {
    return Write("FilmKey", "Film", film, SearchKeys::OfFilm(title, actor));
}

bool PinyinKeys::WriteNewFilm(const QString& filmId, const QString& title, const QString& actor) {
    bool failed = false;
    const RowKey film = NewRow("Film", "FilmID", filmId, &failed);
    return !failed && WriteFilm(film, title, actor);
}

bool PinyinKeys::DeleteFilm(RowKey film) {
    return Write("FilmKey", "Film", film, {});
}

bool PinyinKeys::WriteClient(RowKey client, const QString& remark, const QString& phone) {
    return Write("ClientKey", "Client", client, SearchKeys::OfClient(remark, phone));
}

bool PinyinKeys::WriteNewClient(const QString& clientId, const QString& remark, const QString& phone) {
    bool failed = false;
    const RowKey client = NewRow("Client", "ClientID", clientId, &failed);
    return !failed && WriteClient(client, remark, phone);
}

bool PinyinKeys::DeleteClient(RowKey client) {
    return Write("ClientKey", "Client", client, {});
}

namespace {
// Rows to a statement: the engine's limit on a statement's length is far above this.
constexpr int kRowsPerInsert = 2000;

bool Add(const char* table, const char* owner, const QList<SearchKeys::Source>& sources,
         QList<SearchKeys::Key> (*keysOf)(const QString&, const QString&)) {
    QByteArray values;
    int rows = 0;
    const auto flush = [&] {
        if (rows == 0)
            return true;
        CAdoDb db;
        const bool ok = db.Execute(QStringLiteral("INSERT INTO %1 (%2, Kind, Pinyin) VALUES ")
                                       .arg(QLatin1String(table), QLatin1String(owner)) +
                                   QString::fromLatin1(values));
        values.clear();
        rows = 0;
        return ok;
    };
    for (const SearchKeys::Source& source : sources) {
        const QList<SearchKeys::Key> keys = keysOf(source.first, source.second);
        if (keys.isEmpty())
            continue;
        if (!values.isEmpty())
            values += ',';
        values += SearchKeys::Values(source.id, keys);
        rows += int(keys.size());
        if (rows >= kRowsPerInsert && !flush())
            return false;
    }
    return flush();
}
} // namespace

bool PinyinKeys::AddFilms(const QList<SearchKeys::Source>& films) {
    return Add("FilmKey", "Film", films, SearchKeys::OfFilm);
}

bool PinyinKeys::AddClients(const QList<SearchKeys::Source>& clients) {
    return Add("ClientKey", "Client", clients, SearchKeys::OfClient);
}
