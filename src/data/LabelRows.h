#pragma once
// What the labels and the member cards print, read fresh from the shop when they are made: the
// films picked in the film window, stored on a day, or all of them; the clients picked in the
// client window.
#include "data/RowKey.h"

#include <QList>
#include <QString>

namespace LabelRows {
struct Film {
    QString code;   // FilmID, as typed in the film editor
    QString title;  // FilmName
    QString medium; // Type
};
struct Client {
    QString number; // ClientID
    QString phone;  // PhoneNum
};

// The statements, in the catalogue's order of entry (ID).
QString FilmsByKeys(const QList<RowKey>& keys);
QString FilmsStoredOn(const QString& day); // day as the film editor stores it: yyyy-MM-dd
QString AllFilms();
QString ClientsByKeys(const QList<RowKey>& keys);

// Every row of such a statement; false when it failed (*error says why).
bool ReadFilms(const QString& sql, QList<Film>* films, QString* error);
bool ReadClients(const QString& sql, QList<Client>* clients, QString* error);
} // namespace LabelRows
