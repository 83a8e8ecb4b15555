#include "toolkit/ReceiptPrint.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

namespace {
constexpr double kWidthMm = 80;
constexpr double kMarginMm = 4;
constexpr double kLineMm = 5.5;
constexpr double kFontPoints = 9;
} // namespace

bool ReceiptPrint::Print(QPrinter* printer, const QStringList& lines, QString* error) {
    const double height = 2 * kMarginMm + kLineMm * (lines.size() + 1);
    printer->setPageLayout(
        QPageLayout(QPageSize(QSizeF(kWidthMm, height), QPageSize::Millimeter), QPageLayout::Portrait,
                    QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(printer)) {
        *error = QStringLiteral("打印机无法使用。");
        return false;
    }
    const QRect page(QPoint(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
    const int line = int(printer->resolution() * kLineMm / 25.4);
    QFont font;
    font.setPointSizeF(kFontPoints);
    QFont heading = font;
    heading.setPointSizeF(kFontPoints * 1.3);
    heading.setBold(true);
    for (int i = 0; i < lines.size(); ++i) {
        const QRect box(0, i * line, page.width(), line);
        painter.setFont(i == 0 ? heading : font);
        const QString text = lines.at(i);
        if (i == 0) {
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, text);
            painter.drawLine(0, box.bottom(), page.width(), box.bottom());
        } else if (i == 1 || i == lines.size() - 1) {
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, text);
        } else if (text.contains(QLatin1Char('\t'))) {
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text.section(QLatin1Char('\t'), 0, 0));
            painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, text.section(QLatin1Char('\t'), 1));
        } else {
            painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
        }
    }
    return painter.end();
}
