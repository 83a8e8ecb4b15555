#include "data/RentContact.h"

#include "data/Sql.h"

#include <QStringList>

QString RentContact::Contact::Text() const {
    QStringList parts;
    if (!name.isEmpty())
        parts << QStringLiteral("联系人 ") + name;
    if (!phone.isEmpty())
        parts << QStringLiteral("电话 ") + phone;
    return parts.join(QLatin1Char(' '));
}

bool RentContact::InsertForOpenRental(const QString& filmId, const Contact& contact) {
    CAdoDb db;
    return db.Execute(QStringLiteral("INSERT INTO RentContact (RentID,Name,Phone) SELECT ID,'%1','%2' FROM "
                                     "Record WHERE FilmID='%3' AND ReturnDate=''")
                          .arg(Sql::Text(contact.name), Sql::Text(contact.phone), Sql::Text(filmId)));
}

Lookup RentContact::Load(int rentId, Contact* contact) {
    CAdoDb db;
    const CRecordset& rs =
        db.Query(QStringLiteral("SELECT Name,Phone FROM RentContact WHERE RentID=") + Sql::Int(rentId));
    if (rs.Result() == Lookup::Found)
        *contact = {rs.GetText("Name"), rs.GetText("Phone")};
    return rs.Result();
}

bool RentContact::Delete(int rentId) {
    CAdoDb db;
    return db.Execute(QStringLiteral("DELETE FROM RentContact WHERE RentID=") + Sql::Int(rentId));
}
