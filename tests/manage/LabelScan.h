#pragma once
// Reading printed labels and cards back as a scanner and a ruler would: a PDF page made into
// pixels (pdftoppm), the codes in a part of it decoded (zbarimg), and where the ink lies.
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace LabelScan {
constexpr int kDpi = 300;
// Whether pdftoppm and zbarimg are there to run.
bool ToolsPresent();
// The page (from 1) of a PDF file in grey, kDpi dots to the inch; a null image when it failed.
QImage Page(const QString& pdf, int page);
// The codes zbarimg reads in the part of the page at mm, each "TYPE:data" (CODE-128, QR-Code).
QStringList Decode(const QImage& page, const QRectF& mm);
// The smallest rectangle holding every dark dot inside window, in millimetres; empty when none.
QRectF Ink(const QImage& page, const QRectF& window);
// True when two rectangles agree within tolerance millimetres on every edge.
bool Near(const QRectF& a, const QRectF& b, double tolerance = 0.5);
QString Text(const QRectF& mm);
} // namespace LabelScan
