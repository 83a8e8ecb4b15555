#pragma once
// A member's card, 85.6 × 54 mm as a bank card: the shop's name, the client's number in text, as
// Code 128 along the bottom and as a QR code at the right, and the phone when the shop wants it.
// A number Code 128 cannot carry is printed as the QR code alone.
#include "toolkit/Barcode.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace MemberCard {
QSizeF Size();
constexpr double kMaxModuleMm = 0.6;

struct Member {
    QString number;
    QString phone;
};
struct Symbols {
    Barcode::Symbol code128; // not made for a number Code 128 cannot carry
    Barcode::Symbol qr;
};
Symbols Make(const QString& number);

// The card in its cell: its own size, centred.
QRectF CardRect(const QRectF& cell);
// Where each symbol's dark part goes on a card in cell.
QRectF Code128Rect(const Barcode::Symbol& symbol, const QRectF& cell);
QRectF QrRect(const Barcode::Symbol& symbol, const QRectF& cell);
// Paints the card; outline draws its edge in light grey, to cut along on a sheet.
void Paint(QPainter& painter, const Member& member, const Symbols& symbols, const QString& shopName,
           bool withPhone, bool outline, const QRectF& cell);
} // namespace MemberCard
