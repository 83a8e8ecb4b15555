#pragma once
// Where labels and cards go on the paper: a sheet of rows × columns with margins and gaps, or a roll
// (or a card printer) of single ones, a page each. Millimetres throughout, from the paper's top
// left corner. The layouts are kept per printer name in the user's settings, and so are the
// printer's offsets, which move everything it prints by a few millimetres to meet its own paper
// feed.
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>

class QPainter;
class QPrinter;

namespace LabelSheet {
struct Layout {
    bool roll = false;                                   // single labels, each on a page of its own size
    QSizeF sheet{210.0, 297.0};                          // A4
    QSizeF single{40.0, 30.0};                           // a label of a roll, a card of a card printer
    int rows = 8, columns = 3;                           // of a sheet
    double top = 4.5, bottom = 4.5, left = 0, right = 0; // the sheet's margins
    double gapX = 0, gapY = 0; // between two labels side by side, and one above the other
};
// The printer's own shift, right and down; negative moves left and up.
struct Offset {
    double right = 0, down = 0;
};

QSizeF PageSize(const Layout& layout);
int PerPage(const Layout& layout);
QSizeF CellSize(const Layout& layout);
// The label at index (0 to PerPage - 1), row by row from the top left.
QRectF Cell(const Layout& layout, int index);
// Why the layout cannot be printed; empty when it can. needed: the least a label must measure.
QString Fault(const Layout& layout, const QSizeF& needed);

// Where the item at position (0 for the first) of a print that starts at cell start goes.
struct Place {
    int page;
    int cell;
};
Place PlaceOf(const Layout& layout, int start, int position);

// The name a printer's layouts and offsets are kept under: its own, or "PDF" for a file.
QString PrinterKey(const QPrinter& printer);
// kind: "labels" or "cards", which keep layouts of their own on one printer.
Layout LoadLayout(const QString& kind, const QString& printer, const Layout& fallback);
void SaveLayout(const QString& kind, const QString& printer, const Layout& layout);
Offset LoadOffset(const QString& printer);
void SaveOffset(const QString& printer, const Offset& offset);

// Paints count items onto the printer from cell start (0 on a roll), each by paint into its cell,
// the whole page moved by the printer's offset (as kept for it); sets the printer's paper first.
// The places it used, in order, go to *placed. False when the printer could not be used.
using PaintItem = std::function<void(QPainter& painter, int position, const QRectF& cell)>;
bool Render(QPrinter* printer, const Layout& layout, int start, int count, const PaintItem& paint,
            QList<Place>* placed = nullptr);
// Gives the printer the layout's paper, without margins of its own.
void SetPaper(QPrinter* printer, const Layout& layout);
} // namespace LabelSheet
