#include "toolkit/LabelSheet.h"

#include "base/UserSettings.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QUrl>

namespace {
// A printer's name may hold any character; a settings key may not.
QString Group(const QString& kind, const QString& printer) {
    return kind + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(printer));
}
} // namespace

QSizeF LabelSheet::PageSize(const Layout& layout) {
    return layout.roll ? layout.single : layout.sheet;
}

int LabelSheet::PerPage(const Layout& layout) {
    return layout.roll ? 1 : std::max(0, layout.rows) * std::max(0, layout.columns);
}

QSizeF LabelSheet::CellSize(const Layout& layout) {
    if (layout.roll)
        return layout.single;
    if (layout.rows <= 0 || layout.columns <= 0)
        return {};
    return {(layout.sheet.width() - layout.left - layout.right - (layout.columns - 1) * layout.gapX) /
                layout.columns,
            (layout.sheet.height() - layout.top - layout.bottom - (layout.rows - 1) * layout.gapY) /
                layout.rows};
}

QRectF LabelSheet::Cell(const Layout& layout, int index) {
    const QSizeF size = CellSize(layout);
    if (layout.roll)
        return QRectF(QPointF(0, 0), size);
    const int row = index / std::max(1, layout.columns);
    const int column = index % std::max(1, layout.columns);
    return QRectF(layout.left + column * (size.width() + layout.gapX),
                  layout.top + row * (size.height() + layout.gapY), size.width(), size.height());
}

QString LabelSheet::Fault(const Layout& layout, const QSizeF& needed) {
    const QSizeF size = CellSize(layout);
    if (PerPage(layout) <= 0 || size.width() < needed.width() - 0.01 ||
        size.height() < needed.height() - 0.01)
        return QStringLiteral(
                   "每张只有 %1 × %2 毫米,放不下(至少要 %3 × %4 毫米)。请减少行数、列数、边距或间距。")
            .arg(size.width(), 0, 'f', 1)
            .arg(size.height(), 0, 'f', 1)
            .arg(needed.width(), 0, 'f', 1)
            .arg(needed.height(), 0, 'f', 1);
    return QString();
}

LabelSheet::Place LabelSheet::PlaceOf(const Layout& layout, int start, int position) {
    const int perPage = std::max(1, PerPage(layout));
    const int at = (layout.roll ? 0 : start) + position;
    return {at / perPage, at % perPage};
}

QString LabelSheet::PrinterKey(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat || printer.printerName().isEmpty()
               ? QStringLiteral("PDF")
               : printer.printerName();
}

LabelSheet::Layout LabelSheet::LoadLayout(const QString& kind, const QString& printer,
                                          const Layout& fallback) {
    const auto settings = UserSettings::Open();
    settings->beginGroup(Group(kind, printer));
    Layout layout;
    layout.roll = settings->value(QStringLiteral("roll"), fallback.roll).toBool();
    layout.sheet = fallback.sheet;
    layout.single = settings->value(QStringLiteral("single"), fallback.single).toSizeF();
    layout.rows = settings->value(QStringLiteral("rows"), fallback.rows).toInt();
    layout.columns = settings->value(QStringLiteral("columns"), fallback.columns).toInt();
    layout.top = settings->value(QStringLiteral("top"), fallback.top).toDouble();
    layout.bottom = settings->value(QStringLiteral("bottom"), fallback.bottom).toDouble();
    layout.left = settings->value(QStringLiteral("left"), fallback.left).toDouble();
    layout.right = settings->value(QStringLiteral("right"), fallback.right).toDouble();
    layout.gapX = settings->value(QStringLiteral("gapX"), fallback.gapX).toDouble();
    layout.gapY = settings->value(QStringLiteral("gapY"), fallback.gapY).toDouble();
    return layout;
}

void LabelSheet::SaveLayout(const QString& kind, const QString& printer, const Layout& layout) {
    const auto settings = UserSettings::Open();
    settings->beginGroup(Group(kind, printer));
    settings->setValue(QStringLiteral("roll"), layout.roll);
    settings->setValue(QStringLiteral("single"), layout.single);
    settings->setValue(QStringLiteral("rows"), layout.rows);
    settings->setValue(QStringLiteral("columns"), layout.columns);
    settings->setValue(QStringLiteral("top"), layout.top);
    settings->setValue(QStringLiteral("bottom"), layout.bottom);
    settings->setValue(QStringLiteral("left"), layout.left);
    settings->setValue(QStringLiteral("right"), layout.right);
    settings->setValue(QStringLiteral("gapX"), layout.gapX);
    settings->setValue(QStringLiteral("gapY"), layout.gapY);
}

LabelSheet::Offset LabelSheet::LoadOffset(const QString& printer) {
    const auto settings = UserSettings::Open();
    settings->beginGroup(Group(QStringLiteral("printers"), printer));
    return {settings->value(QStringLiteral("offsetRight"), 0.0).toDouble(),
            settings->value(QStringLiteral("offsetDown"), 0.0).toDouble()};
}

void LabelSheet::SaveOffset(const QString& printer, const Offset& offset) {
    const auto settings = UserSettings::Open();
    settings->beginGroup(Group(QStringLiteral("printers"), printer));
    settings->setValue(QStringLiteral("offsetRight"), offset.right);
    settings->setValue(QStringLiteral("offsetDown"), offset.down);
}

void LabelSheet::SetPaper(QPrinter* printer, const Layout& layout) {
    printer->setFullPage(true);
    // A page wider than high is kept as given: QPageSize would otherwise turn it.
    const QSizeF page = PageSize(layout);
    const bool wide = page.width() > page.height();
    const QSizeF upright = wide ? page.transposed() : page;
    printer->setPageLayout(QPageLayout(QPageSize(upright, QPageSize::Millimeter),
                                       wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

bool LabelSheet::Render(QPrinter* printer, const Layout& layout, int start, int count, const PaintItem& paint,
                        QList<Place>* placed) {
    SetPaper(printer, layout);
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    const double dotsPerMm = printer->resolution() / 25.4;
    const Offset offset = LoadOffset(PrinterKey(*printer));
    int page = PlaceOf(layout, start, 0).page;
    for (int position = 0; position < count; ++position) {
        const Place place = PlaceOf(layout, start, position);
        if (place.page != page) {
            printer->newPage();
            page = place.page;
        }
        painter.save();
        painter.scale(dotsPerMm, dotsPerMm);
        painter.translate(offset.right, offset.down);
        paint(painter, position, Cell(layout, place.cell));
        painter.restore();
        if (placed)
            placed->append(place);
    }
    return painter.end();
}
