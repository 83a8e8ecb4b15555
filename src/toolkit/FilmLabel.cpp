#include "toolkit/FilmLabel.h"

#include "toolkit/LabelText.h"

#include <QPainter>
#include <algorithm>

QSizeF FilmLabel::Least() {
    return {30.0, 20.0};
}

// From the top: shop, title, barcode, code. The barcode takes what the lines leave, with a gap of
// at least 1.2 mm above and below, so that nothing printed touches its bars.
FilmLabel::Parts FilmLabel::Arrange(const QRectF& cell, bool withShop) {
    const double pad = std::clamp(cell.height() * 0.06, 1.2, 2.5);
    const QRectF inner = cell.adjusted(pad, pad, -pad, -pad);
    const double h = inner.height();
    const double gap = std::max(1.2, h * 0.04);
    Parts parts;
    double y = inner.top();
    if (withShop) {
        parts.shop = QRectF(inner.left(), y, inner.width(), h * 0.12);
        y = parts.shop.bottom();
    }
    parts.title = QRectF(inner.left(), y, inner.width(), h * 0.17);
    parts.code = QRectF(inner.left(), inner.bottom() - h * 0.14, inner.width(), h * 0.14);
    const double top = parts.title.bottom() + gap;
    parts.symbol = QRectF(inner.left(), top, inner.width(), parts.code.top() - gap - top);
    return parts;
}

QRectF FilmLabel::SymbolRect(const Barcode::Symbol& symbol, const QRectF& cell, bool withShop) {
    return Barcode::Place(symbol, Arrange(cell, withShop).symbol, kMaxModuleMm);
}

void FilmLabel::Paint(QPainter& painter, const Film& film, const Barcode::Symbol& symbol,
                      const QString& shopName, const QRectF& cell) {
    const Parts parts = Arrange(cell, !shopName.isEmpty());
    if (!shopName.isEmpty())
        LabelText::Paint(painter, parts.shop, shopName, parts.shop.height() * 0.8, false, Qt::AlignHCenter);
    const double titleSize = parts.title.height() * 0.8;
    const double medium = film.medium.isEmpty() ? 0 : LabelText::Width(painter, film.medium, titleSize, true);
    QRectF title = parts.title;
    title.setRight(title.right() - (medium > 0 ? medium + titleSize * 0.5 : 0));
    LabelText::Paint(painter, title, film.title, titleSize, true, Qt::AlignLeft);
    if (medium > 0)
        LabelText::Paint(painter, parts.title, film.medium, titleSize, true, Qt::AlignRight);
    const QRectF where = Barcode::Place(symbol, parts.symbol, kMaxModuleMm);
    if (!where.isEmpty())
        Barcode::Draw(painter, symbol, where);
    const double codeSize = parts.code.height() * 0.8;
    LabelText::Paint(painter, parts.code, film.code,
                     LabelText::Fitting(painter, film.code, codeSize, false, parts.code.width()), false,
                     Qt::AlignHCenter);
}
