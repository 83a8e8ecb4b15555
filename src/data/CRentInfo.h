#pragma once
// One row of the Record table (one lending of one film) and the table's statements.
#include "data/CAdoDb.h"
#include "data/RowKey.h"

#include <QDate>
#include <QString>

class CRentInfo {
public:
    // The most the rental window's search takes, in GBK bytes: a client number, a film code or
    // name, or a lending date.
    static constexpr int kSearchBytes = 20;

    virtual ~CRentInfo() = default;

    bool Insert();
    bool Update(RowKey key);
    bool DeleteById(RowKey key);
    // A film is out while it has a row with an empty return date.
    Lookup ExistsOpenByFilmId(const QString& filmId);
    Lookup LoadOpenByFilmId(const QString& filmId);
    // Returned and unreturned rows alike; per-day rentals carry the empty client number.
    bool DeleteByClientId(const QString& clientId);
    // Remove the returned rows of one rental kind; rows still out stay.
    bool PurgeReturnedMonthly();
    bool PurgeReturnedDaily();

    int ID = 0;
    QString ClientID;
    QString FilmID;
    QString Type;
    float Foregift = 0;
    QString BorrowDate;
    QString ReturnDate;
    QString OptUser;
};

// The statements of the rental window's grid: the rentals of films in the catalogue, with the
// film's name, newest first; whole, of one kind, still out, or searched.
namespace RentGrid {
QString All();
QString Monthly();
QString Daily();
QString Out();
// The rentals of a client number or of a film code; those whose film name or lending date holds
// the text, % and _ taken as typed.
QString ByClientId(const QString& clientId);
QString ByFilmId(const QString& filmId);
QString FilmNameContains(const QString& text);
QString BorrowDateContains(const QString& text);

// What the window runs for those two searches: the same rows in the same order, found through
// indexes. The film-name search first counts the matching films, up to fewFilms, then their
// rentals, up to fewRows: when either count is reached they are read newest first as above, else
// by their films.
constexpr int kFewFilms = 500;
constexpr int kFewRows = 20000;
QString FilmNameSearch(const QString& text, int fewRows = kFewRows, int fewFilms = kFewFilms);
QString BorrowDateSearch(const QString& text);
} // namespace RentGrid

// The statement of 未还影片: every rental out, in the order lent (newest last), with the client's
// phone and remark, the film's title and the days out counted to today. type is empty for all or
// "月租"/"零租"; longerThan keeps the rentals out more than that many days (0 keeps all).
namespace OutList {
// moreColumns, when given, follows the deposit (", expression AS name", as many as wanted).
QString Rentals(const QString& type, int longerThan, const QDate& today,
                const QString& moreColumns = QString());
} // namespace OutList
