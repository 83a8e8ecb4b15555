#include "toolkit/LabelText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace {
// Fonts take whole pixels: text is laid out in hundredths of a millimetre.
constexpr double kUnitsPerMm = 100.0;

QFont FontOf(double heightMm, bool bold) {
    QFont font;
    font.setPixelSize(std::max(1, int(heightMm * kUnitsPerMm + 0.5)));
    font.setBold(bold);
    return font;
}
} // namespace

QString LabelText::Shorten(const QString& text, const QFontMetricsF& metrics, double width) {
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    characters.toEnd();
    for (qsizetype end = characters.toPreviousBoundary(); end > 0; end = characters.toPreviousBoundary()) {
        const QString shortened = text.left(end) + ellipsis;
        if (metrics.horizontalAdvance(shortened) <= width)
            return shortened;
    }
    return metrics.horizontalAdvance(ellipsis) <= width ? ellipsis : QString();
}

void LabelText::Paint(QPainter& painter, const QRectF& box, const QString& text, double heightMm, bool bold,
                      Qt::Alignment align) {
    const QFont font = FontOf(heightMm, bold);
    painter.save();
    painter.scale(1 / kUnitsPerMm, 1 / kUnitsPerMm);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF units(box.x() * kUnitsPerMm, box.y() * kUnitsPerMm, box.width() * kUnitsPerMm,
                       box.height() * kUnitsPerMm);
    const QFontMetricsF metrics(font, painter.device());
    painter.drawText(units, int(align | Qt::AlignVCenter | Qt::TextSingleLine),
                     Shorten(text, metrics, units.width()));
    painter.restore();
}

double LabelText::Width(QPainter& painter, const QString& text, double heightMm, bool bold) {
    const QFont font = FontOf(heightMm, bold);
    return QFontMetricsF(font, painter.device()).horizontalAdvance(text) / kUnitsPerMm;
}

double LabelText::Fitting(QPainter& painter, const QString& text, double heightMm, bool bold, double width) {
    const double wide = Width(painter, text, heightMm, bold);
    return wide <= width ? heightMm : std::max(heightMm * 0.6, heightMm * width / wide);
}
