#pragma once
// The per-day lending's optional contact: a name and a phone number on a row of the form of their
// own, enabled with 零租, and how a slip names the customer with them.
#include "data/RentContact.h"

class QGridLayout;
class QLineEdit;

namespace LendContact {
// Adds "联系人：" and "联系电话：" as the form's last row; the fields are children of the form.
void AddFields(QGridLayout* form, QLineEdit** name, QLineEdit** phone);
// 零租, and the contact after it when one was given.
QString SlipClient(const RentContact::Contact& contact);
} // namespace LendContact
