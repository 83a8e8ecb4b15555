#pragma once
// The codes the shop's scanner reads, made by libzint and drawn with QPainter, so that a preview, a
// printer and a PDF file get the same bars. A code of printable ASCII goes as Code 128, which gives
// it back byte for byte, letter case included; any other (a code with Chinese characters) as a QR
// code that carries the code's UTF-8 and says so (ECI 26).
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace Barcode {
enum class Kind { Code128, Qr };

Kind KindFor(const QString& code);
// The quiet zone the symbol needs on each side, in modules.
int QuietModules(Kind kind);

struct Symbol {
    Kind kind = Kind::Code128;
    int columns = 0;    // modules across the dark part, quiet zones left out
    int rows = 0;       // modules down (1 for Code 128)
    QList<QRectF> dark; // the dark areas, as shares (0 to 1) of the dark part's width and height
    QString error;      // why no symbol was made; empty when one was
    bool IsMade() const { return error.isEmpty(); }
};
Symbol Make(const QString& code, Kind kind);

// Where the symbol's dark part goes in room (any unit), its quiet zones inside room: Code 128 as
// tall as room, a QR code square; modules no wider than maxModule, the symbol centred across.
// An empty rectangle when the symbol is not made.
QRectF Place(const Symbol& symbol, const QRectF& room, double maxModule);
// Paints the dark part into the rectangle Place gave, black, as one path (no seams between modules).
void Draw(QPainter& painter, const Symbol& symbol, const QRectF& where);
} // namespace Barcode
