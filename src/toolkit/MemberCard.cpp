#include "toolkit/MemberCard.h"

#include "toolkit/LabelText.h"

#include <QPainter>

namespace {
constexpr double kPad = 4.0;

// The card's parts, in millimetres from the card's corner.
QRectF ShopLine() {
    return {kPad, 3.5, 85.6 - 2 * kPad, 6.5};
}
QRectF QrRoom() {
    return {85.6 - kPad - 24.0, 11.5, 24.0, 26.0};
}
QRectF Code128Room() {
    return {kPad, 40.0, 85.6 - 2 * kPad, 10.0};
}
QRectF TextLine(int line) {
    return {kPad, 14.0 + line * 7.0, 85.6 - 2 * kPad - 26.0, 6.0};
}
QRectF On(const QRectF& card, const QRectF& part) {
    return part.translated(card.topLeft());
}
} // namespace

QSizeF MemberCard::Size() {
    return {85.6, 54.0};
}

MemberCard::Symbols MemberCard::Make(const QString& number) {
    Symbols symbols;
    if (Barcode::KindFor(number) == Barcode::Kind::Code128)
        symbols.code128 = Barcode::Make(number, Barcode::Kind::Code128);
    else
        symbols.code128.error = QStringLiteral("Code 128 不能表示这个编号");
    symbols.qr = Barcode::Make(number, Barcode::Kind::Qr);
    return symbols;
}

QRectF MemberCard::CardRect(const QRectF& cell) {
    const QSizeF size = Size();
    return QRectF(cell.center().x() - size.width() / 2, cell.center().y() - size.height() / 2, size.width(),
                  size.height());
}

QRectF MemberCard::Code128Rect(const Barcode::Symbol& symbol, const QRectF& cell) {
    return Barcode::Place(symbol, On(CardRect(cell), Code128Room()), kMaxModuleMm);
}

QRectF MemberCard::QrRect(const Barcode::Symbol& symbol, const QRectF& cell) {
    return Barcode::Place(symbol, On(CardRect(cell), QrRoom()), kMaxModuleMm);
}

void MemberCard::Paint(QPainter& painter, const Member& member, const Symbols& symbols,
                       const QString& shopName, bool withPhone, bool outline, const QRectF& cell) {
    const QRectF card = CardRect(cell);
    if (outline) {
        painter.save();
        QPen pen(QColor(200, 200, 200));
        pen.setWidthF(0.15);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(card, 3.0, 3.0);
        painter.restore();
    }
    const QRectF shop = On(card, ShopLine());
    LabelText::Paint(painter, shop, QStringLiteral("会员卡"), 4.0, false, Qt::AlignRight);
    QRectF name = shop;
    name.setRight(shop.right() - LabelText::Width(painter, QStringLiteral("会员卡"), 4.0, false) - 3.0);
    LabelText::Paint(painter, name, shopName, 5.0, true, Qt::AlignLeft);
    painter.save();
    QPen rule(Qt::black);
    rule.setWidthF(0.3);
    painter.setPen(rule);
    painter.drawLine(QPointF(shop.left(), shop.bottom() + 0.8), QPointF(shop.right(), shop.bottom() + 0.8));
    painter.restore();
    const QString number = QStringLiteral("会员号  ") + member.number;
    const QRectF numberLine = On(card, TextLine(0));
    LabelText::Paint(painter, numberLine, number,
                     LabelText::Fitting(painter, number, 4.0, true, numberLine.width()), true, Qt::AlignLeft);
    if (withPhone && !member.phone.isEmpty())
        LabelText::Paint(painter, On(card, TextLine(1)), QStringLiteral("电话  ") + member.phone, 3.6, false,
                         Qt::AlignLeft);
    if (symbols.code128.IsMade())
        Barcode::Draw(painter, symbols.code128, Code128Rect(symbols.code128, cell));
    if (symbols.qr.IsMade())
        Barcode::Draw(painter, symbols.qr, QrRect(symbols.qr, cell));
}
