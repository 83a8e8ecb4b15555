#pragma once
// A disc's label: the shop's name (when it has one), the title shortened to fit and the medium,
// the film's code as a barcode, and the code in text under it.
#include "toolkit/Barcode.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace FilmLabel {
struct Film {
    QString code;
    QString title;
    QString medium; // VCD, DVD
};
// The smallest label that still holds a readable code.
QSizeF Least();
// A module no wider than this: a short code is not spread over the whole label.
constexpr double kMaxModuleMm = 0.5;

// The parts of a label in cell, in millimetres.
struct Parts {
    QRectF shop;   // empty without a shop name
    QRectF title;  // the title left, the medium right
    QRectF symbol; // the room of the barcode, quiet zones included
    QRectF code;   // the code's text
};
Parts Arrange(const QRectF& cell, bool withShop);
// Where the symbol's dark part goes on a label in cell.
QRectF SymbolRect(const Barcode::Symbol& symbol, const QRectF& cell, bool withShop);
// Paints the label into cell; symbol is the film's code made (a symbol not made leaves its room empty).
void Paint(QPainter& painter, const Film& film, const Barcode::Symbol& symbol, const QString& shopName,
           const QRectF& cell);
} // namespace FilmLabel
