#include "data/LabelRows.h"

#include "data/RowStream.h"
#include "data/Sql.h"

#include <QStringList>

namespace {
// The keys as an IN list; keys that are none match no row.
QString KeyList(const QList<RowKey>& keys) {
    QStringList list;
    for (const RowKey& key : keys)
        list << Sql::Key(key);
    return list.isEmpty() ? QStringLiteral("NULL") : list.join(QLatin1Char(','));
}
} // namespace

QString LabelRows::FilmsByKeys(const QList<RowKey>& keys) {
    return QStringLiteral("SELECT FilmID, FilmName, Type FROM Film WHERE ID IN (") + KeyList(keys) +
           QStringLiteral(") ORDER BY ID");
}

QString LabelRows::FilmsStoredOn(const QString& day) {
    return QStringLiteral("SELECT FilmID, FilmName, Type FROM Film WHERE StgDate='") + Sql::Text(day) +
           QStringLiteral("' ORDER BY ID");
}

QString LabelRows::AllFilms() {
    return QStringLiteral("SELECT FilmID, FilmName, Type FROM Film ORDER BY ID");
}

QString LabelRows::ClientsByKeys(const QList<RowKey>& keys) {
    return QStringLiteral("SELECT ClientID, PhoneNum FROM Client WHERE ID IN (") + KeyList(keys) +
           QStringLiteral(") ORDER BY ID");
}

bool LabelRows::ReadFilms(const QString& sql, QList<Film>* films, QString* error) {
    films->clear();
    return RowStream::Each(
        sql,
        [films](const EngineStatement& row) {
            films->append({row.Text(0), row.Text(1), row.Text(2)});
            return true;
        },
        error);
}

bool LabelRows::ReadClients(const QString& sql, QList<Client>* clients, QString* error) {
    clients->clear();
    return RowStream::Each(
        sql,
        [clients](const EngineStatement& row) {
            clients->append({row.Text(0), row.Text(1)});
            return true;
        },
        error);
}
