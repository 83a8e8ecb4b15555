#pragma once
// A per-day rental's contact, when the customer gives one: a name and a phone number in a row of
// their own (table RentContact), keyed by the rental's ID, so that the rental's row and statements
// stay as they are and a per-day rental still names no client.
#include "data/CAdoDb.h"

#include <QString>

namespace RentContact {
// The most the lending form takes, in GBK bytes.
constexpr int kNameBytes = 20;
constexpr int kPhoneBytes = 20;

struct Contact {
    QString name;
    QString phone;
    bool IsEmpty() const { return name.isEmpty() && phone.isEmpty(); }
    // "联系人 张三 电话 13800000000", the parts given; empty when none.
    QString Text() const;
};

// Writes the contact of the film's open rental, the lending just written.
bool InsertForOpenRental(const QString& filmId, const Contact& contact);
// The contact of a rental; Missing when none was given.
Lookup Load(int rentId, Contact* contact);
bool Delete(int rentId);
} // namespace RentContact
