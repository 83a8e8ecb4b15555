#pragma once
// The way from 影片还回 to the return of several films: a button of its own in the single form's
// button row, left of its default button. It opens 多片还回 with the code already typed; when that
// is confirmed, done is told what the basket did, for the single form to end with.
#include "toolkit/Receipt.h"

#include <QString>
#include <functional>

class CDialog;
class QBoxLayout;
class QLineEdit;
class QPushButton;

namespace ReturnBasketButton {
using Done = std::function<void(const QString& done, const Receipt::Slip& slip)>;
QPushButton* Add(CDialog* single, QBoxLayout* buttons, QLineEdit* film, QPushButton* ok, Done done);
} // namespace ReturnBasketButton
