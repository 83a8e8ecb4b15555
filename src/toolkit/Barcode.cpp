#include "toolkit/Barcode.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <memory>
#include <zint.h>

namespace {
// libzint's own code for "the data is UTF-8".
constexpr int kEciUtf8 = 26;

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};
} // namespace

Barcode::Kind Barcode::KindFor(const QString& code) {
    const bool ascii = std::all_of(code.cbegin(), code.cend(),
                                   [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7e; });
    return ascii ? Kind::Code128 : Kind::Qr;
}

int Barcode::QuietModules(Kind kind) {
    return kind == Kind::Code128 ? 10 : 4;
}

Barcode::Symbol Barcode::Make(const QString& code, Kind kind) {
    Symbol made;
    made.kind = kind;
    if (code.isEmpty()) {
        made.error = QStringLiteral("编号为空");
        return made;
    }
    if (kind == Kind::Code128 && KindFor(code) != Kind::Code128) {
        made.error = QStringLiteral("Code 128 不能表示这个编号");
        return made;
    }
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        made.error = QStringLiteral("内存不足");
        return made;
    }
    symbol->symbology = kind == Kind::Code128 ? BARCODE_CODE128 : BARCODE_QRCODE;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = 0; // the code's text is ours to set, in the shop's font
    symbol->output_options |= BARCODE_NO_QUIET_ZONES;
    if (kind == Kind::Qr)
        symbol->eci = kEciUtf8;
    const QByteArray utf8 = code.toUtf8();
    const int result = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(utf8.constData()), int(utf8.size()), 0);
    if (result >= ZINT_ERROR || !symbol->vector) {
        made.error = QString::fromLatin1(symbol->errtxt);
        if (made.error.isEmpty())
            made.error = QStringLiteral("无法生成条码");
        return made;
    }
    // The vector's units are the library's (two to a module at scale 1): shares of the dark part
    // hold whatever they are.
    double left = 1e30, top = 1e30, right = -1e30, bottom = -1e30;
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next) {
        left = std::min(left, double(r->x));
        top = std::min(top, double(r->y));
        right = std::max(right, double(r->x + r->width));
        bottom = std::max(bottom, double(r->y + r->height));
    }
    if (right <= left || bottom <= top) {
        made.error = QStringLiteral("无法生成条码");
        return made;
    }
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
        made.dark << QRectF((r->x - left) / (right - left), (r->y - top) / (bottom - top),
                            r->width / (right - left), r->height / (bottom - top));
    made.columns = symbol->width;
    made.rows = kind == Kind::Code128 ? 1 : symbol->rows;
    return made;
}

QRectF Barcode::Place(const Symbol& symbol, const QRectF& room, double maxModule) {
    if (!symbol.IsMade() || symbol.columns <= 0)
        return {};
    const int quiet = QuietModules(symbol.kind);
    double module = room.width() / (symbol.columns + 2 * quiet);
    if (symbol.kind == Kind::Qr)
        module = std::min(module, room.height() / (symbol.rows + 2 * quiet));
    module = std::min(module, maxModule);
    const double width = module * symbol.columns;
    const double height = symbol.kind == Kind::Qr ? module * symbol.rows : room.height();
    return QRectF(room.center().x() - width / 2, room.center().y() - height / 2, width, height);
}

void Barcode::Draw(QPainter& painter, const Symbol& symbol, const QRectF& where) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRectF& share : symbol.dark)
        path.addRect(where.x() + share.x() * where.width(), where.y() + share.y() * where.height(),
                     share.width() * where.width(), share.height() * where.height());
    painter.fillPath(path, Qt::black);
}
