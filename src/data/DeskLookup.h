#pragma once
// What a code typed at the desk stands for, read in one statement each while the clerk types:
// information beside the form, never a check of the lending rules. A read that fails says so in
// its result and shows no box.
#include "data/CAdoDb.h"

#include <QString>

namespace DeskLookup {
struct Client {
    Lookup result = Lookup::Failed;
    QString phone;
    QString remark;
    float balance = 0;
    int filmsOut = 0; // rentals of this client not yet returned
};
Client FindClient(const QString& clientId);

struct Film {
    Lookup result = Lookup::Failed;
    QString name;
    QString medium; // the film's Type: "VCD", "DVD", ...
    QString genre;  // Class1
    bool out = false;
    // The open rental when out.
    QString rentType;
    QString clientId; // empty for a per-day rental
    QString borrowDate;
    float foregift = 0;
    QString contact; // a per-day rental's contact, as RentContact::Contact::Text says it
};
Film FindFilm(const QString& filmId);
} // namespace DeskLookup
