#pragma once
// Keeping the pinyin search keys (src/base/SearchKeys.h) true: written next to each statement that
// writes a film's title or actor, or a client's remark or phone, in the caller's transaction.
#include "base/SearchKeys.h"
#include "data/RowKey.h"

#include <QList>

#include <QString>

namespace PinyinKeys {
// The keys of the film with this ID, written anew; true when every statement was accepted.
bool WriteFilm(RowKey film, const QString& title, const QString& actor);
// The same for a film just added under this code (its ID read back inside the transaction).
bool WriteNewFilm(const QString& filmId, const QString& title, const QString& actor);
bool DeleteFilm(RowKey film);

bool WriteClient(RowKey client, const QString& remark, const QString& phone);
bool WriteNewClient(const QString& clientId, const QString& remark, const QString& phone);
bool DeleteClient(RowKey client);

// The bulk form for many films or clients just added (an import): each one's keys (its ID, and
// the title and actor, or the remark and phone), a few statements for all.
bool AddFilms(const QList<SearchKeys::Source>& films);
bool AddClients(const QList<SearchKeys::Source>& clients);
} // namespace PinyinKeys
